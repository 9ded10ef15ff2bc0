#include "support/stream_page.h"

#include <utility>

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "support/paint_timer_count.h"

namespace tallwick_bench {

namespace {

using pphost::Json;

constexpr const char* kControllerId = "c";

pphost::HostOptions Options(pphost::ClockMode clock) {
  pphost::HostOptions options;
  options.clock = clock;
  options.tracePresent = true;
  return options;
}

Json InitData(const StreamPageSetup& setup) {
  if (setup.role == ElementRole::kGallery) return GalleryInitData(setup.fps, "bench");
  return SingleStreamInitData(setup.fps, setup.streams.at(0));
}

std::string View(const StreamPageSetup& setup) {
  return ViewLine(StreamPage::kElementId, setup.viewWidth, setup.viewHeight);
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
  const bool ready =
      Do(CreateLine(kControllerId, ControllerAttrs()), error) &&
      Do(CreateLine(kElementId, ElementAttrs(setup.role)), error) && (!before || Do(View(setup), error)) &&
      Do(MessageLine(kElementId, "INIT", InitData(setup)), error) && (before || Do(View(setup), error)) &&
      Do(MessageLine(kControllerId, "DO_UPDATE_SHARED_MEMORY", RegistrationData(setup.streams)), error);
  if (!ready) return false;
  if (setup.role == ElementRole::kGallery &&
      !Do(MessageLine(kElementId, "UPDATE_MULTI_INFOS", LayoutData(setup.streams, setup.tiles)), error)) {
    return false;
  }
  return Do(MessageLine(kElementId, "START_RENDER", Json::object()), error);
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
