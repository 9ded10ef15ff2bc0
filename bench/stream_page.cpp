#include "stream_page.h"

#include <utility>

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "paint_timer_count.h"

namespace tallwick_bench {

namespace {

using pphost::Json;

constexpr const char* kControllerId = "c";
constexpr int kRenderExceptionThresholdMs = 2000;

pphost::HostOptions Options(pphost::ClockMode clock) {
  pphost::HostOptions options;
  options.clock = clock;
  options.tracePresent = true;
  return options;
}

std::string Create(const std::string& id, const Json& attrs) {
  return Json{{"op", "create"}, {"id", id}, {"attrs", attrs}}.dump();
}

std::string Message(const std::string& id, const std::string& command, const Json& data) {
  return Json{{"op", "message"}, {"id", id}, {"msg", {{"command", command}, {"data", data}}}}.dump();
}

std::string View(const StreamPageSetup& setup) {
  return Json{{"op", "view"}, {"id", StreamPage::kElementId}, {"rect", {0, 0, setup.viewWidth, setup.viewHeight}}}
      .dump();
}

Json ElementAttrs(ElementRole role) {
  if (role == ElementRole::kGallery) return Json::array({Json::array({"data-multi", ""})});
  return Json::array();
}

Json InitData(const StreamPageSetup& setup) {
  Json data = {{"fps", setup.fps}, {"renderExceptionThreshold", kRenderExceptionThresholdMs}, {"dpr", 1}};
  if (setup.role == ElementRole::kGallery) {
    data["uuid"] = "bench";
    data["backgroundColor"] = {0, 0, 0, 1};
  } else {
    data["uid"] = setup.streams.at(0).uid;
    data["sid"] = setup.streams.at(0).sid;
  }
  return data;
}

Json RegistrationData(const std::vector<PageStream>& streams) {
  Json diffs = Json::array();
  for (const PageStream& stream : streams) {
    diffs.push_back({{"path", stream.segmentPath},
                     {"uid", stream.uid},
                     {"sid", stream.sid},
                     {"bufferSize", tallwick::frame::FrameSegmentSize(stream.geometry)},
                     {"bufferNumber", 1},
                     {"isScreen", false},
                     {"isMerge", false},
                     {"frameFormat", stream.geometry.format}});
  }
  return {{"op", 0}, {"diffs", diffs}};
}

Json LayoutData(const StreamPageSetup& setup) {
  Json items = Json::array();
  for (size_t i = 0; i < setup.streams.size() && i < setup.tiles.size(); ++i) {
    const Rect& tile = setup.tiles[i];
    const Json config = {{"isMirror", false},
                         {"top", tile.top},
                         {"left", tile.left},
                         {"width", tile.width},
                         {"height", tile.height},
                         {"renderMode", 1},
                         {"backgroundColor", {0, 0, 0, 1}}};
    items.push_back({{"streamId", setup.streams[i].sid},
                     {"userId", setup.streams[i].uid},
                     {"isSelf", false},
                     {"streamType", "CAMERA"},
                     {"renderConfig", config}});
  }
  return {{"renderInfos", items}};
}

}  // namespace

std::vector<PageStream> CameraStreams(int count, const std::string& pathPrefix,
                                      const tallwick::frame::FrameGeometry& geometry) {
  std::vector<PageStream> streams;
  for (int n = 1; n <= count; ++n) {
    const std::string uid = "u" + std::to_string(n);
    std::string path = pathPrefix;
    path.append("-").append(uid);
    streams.push_back({uid, "s" + std::to_string(n), path, geometry});
  }
  return streams;
}

std::vector<Rect> GridTiles(int count, int columns, int viewWidth, int viewHeight) {
  const int rows = columns > 0 ? (count + columns - 1) / columns : 0;
  std::vector<Rect> tiles;
  const double width = rows > 0 ? static_cast<double>(viewWidth) / columns : 0.0;
  const double height = rows > 0 ? static_cast<double>(viewHeight) / rows : 0.0;
  for (int i = 0; i < count && rows > 0; ++i) {
    const int row = i / columns;
    const int column = i % columns;
    tiles.push_back({width * column, height * row, width, height});
  }
  return tiles;
}

std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> CreateWriters(const std::vector<PageStream>& streams,
                                                                         std::string* error) {
  std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> writers;
  for (const PageStream& stream : streams) {
    auto writer = std::make_unique<tallwick::frame::FrameWriter>(stream.segmentPath, stream.geometry);
    if (writer->Create() != shoom::kOK) {
      *error = "cannot create the segment " + stream.segmentPath;
      return {};
    }
    writers.push_back(std::move(writer));
  }
  return writers;
}

StreamPage::StreamPage(pphost::ClockMode clock, pphost::LineSink sink)
    : sink_(std::move(sink)), host_(Options(clock), [this](const std::string& line) { Watch(line); }) {}

StreamPage::~StreamPage() {
  host_.Finish();
  TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance();
}

bool StreamPage::Start(const StreamPageSetup& setup, std::string* error) {
  if (setup.streams.empty()) {
    *error = "the page has no stream";
    return false;
  }
  if (!host_.Load(CountingEntryPoints())) {
    *error = host_.LoadError();
    return false;
  }
  role_ = setup.role;
  // By default the view comes after "INIT", so that the new renderer sizes
  // its buffer from it.
  const bool before = setup.viewBeforeInit;
  const bool ready = Do(Create(kControllerId, Json::array({Json::array({"data-controller", ""})})), error) &&
                     Do(Create(kElementId, ElementAttrs(setup.role)), error) && (!before || Do(View(setup), error)) &&
                     Do(Message(kElementId, "INIT", InitData(setup)), error) && (before || Do(View(setup), error)) &&
                     Do(Message(kControllerId, "DO_UPDATE_SHARED_MEMORY", RegistrationData(setup.streams)), error);
  if (!ready) return false;
  if (setup.role == ElementRole::kGallery && !Do(Message(kElementId, "UPDATE_MULTI_INFOS", LayoutData(setup)), error)) {
    return false;
  }
  return Do(Message(kElementId, "START_RENDER", Json::object()), error);
}

int64_t StreamPage::PaintTicksArmed() const { return PaintTimersArmed(); }

bool StreamPage::Run(int64_t ms) { return host_.Run(ms); }

// Counts what the benchmarks check before handing the line on. Only present
// lines and first-shown events are parsed, so idle ticks stay cheap.
void StreamPage::Watch(const std::string& line) {
  if (line.rfind(R"({"kind":"present")", 0) == 0) {
    const Json present = Json::parse(line);
    if (present.at("id") == kElementId) {
      ++presents_;
      lastPresentMs_ = present.at("t").get<int64_t>();
    }
  } else if (line.rfind(R"({"kind":"post")", 0) == 0 && line.find("RENDER_STARTED") != std::string::npos) {
    const Json post = Json::parse(line);
    const char* firstShown = role_ == ElementRole::kGallery ? "MULTI_RENDER_STARTED" : "RENDER_STARTED";
    if (post.at("id") == kElementId && post.at("msg").value("command", "") == firstShown) ++streamsShown_;
  }
  if (sink_) sink_(line);
}

bool StreamPage::Do(const std::string& line, std::string* error) {
  if (host_.Execute(line)) return true;
  *error = "the page refused " + line;
  return false;
}

}  // namespace tallwick_bench
