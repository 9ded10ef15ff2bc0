#include "page_target.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>

#include "controller/controller_embed.h"
#include "finding.h"
#include "host/ppapi/ppp.h"
#include "page_pictures.h"
#include "report.h"
#include "tick_budget.h"

namespace tallwick_fuzz {

namespace {

using pphost::Json;

// The elements' views, in CSS pixels.
constexpr int32_t kSingleWidth = 64;
constexpr int32_t kGalleryWidth = 128;
int32_t ViewWidth(char role) { return role == 'g' ? kGalleryWidth : kSingleWidth; }
int32_t ViewHeight(char role) { return ViewWidth(role) * 9 / 16; }

constexpr int kPaintLoops = 2;
constexpr size_t kProbeEvery = 4;
// After the second interval, time for the swap the tick started to complete.
constexpr double kSwapMs = 17;
// A probe is skipped for a drawing buffer scale beyond this: the buffer may
// then be refused.
constexpr double kLargestProbedDpr = 8;
// A picture, or a gallery tile inside the view, at least this large in
// drawing-buffer pixels shows the probe's colour somewhere. ("dpr" scales
// the view to the buffer; 0, what a missing "dpr" reads as, makes it empty.)
constexpr double kVisibleSide = 16;

Json IdOf(char role) { return std::string(1, role); }

Json CreateLine(char role) {
  static const Json kAttrs = {{"c", Json::array({Json::array({"data-controller", ""})})},
                              {"r", Json::array()},
                              {"g", Json::array({Json::array({"data-multi", ""})})}};
  const std::string id(1, role);
  return {{"op", "create"}, {"id", id}, {"attrs", kAttrs.at(id)}};
}

Json ViewLine(char role) {
  return {{"op", "view"}, {"id", IdOf(role)}, {"rect", {0, 0, ViewWidth(role), ViewHeight(role)}}};
}

// A registry record of the probe's segment under `key`.
Json ProbeDiff(const std::string& key) {
  const auto cut = key.rfind('_');
  const std::string uid = cut == std::string::npos ? key : key.substr(0, cut);
  const std::string suffix = cut == std::string::npos ? "" : key.substr(cut);
  return {{"path", StreamPath(kProbeStream)}, {"uid", uid},        {"sid", "probe"},
          {"bufferSize", kSegmentBytes},      {"bufferNumber", 1}, {"isScreen", suffix == "_SCREEN"},
          {"isMerge", suffix == "_MERGE"},    {"frameFormat", 0}};
}

bool Contains(const PageModel::Tile& tile, double x, double y) {
  constexpr double kEdge = 1;  // a scaled picture's edge may bleed a pixel
  const double left = std::min(tile.left, tile.left + tile.width), top = std::min(tile.top, tile.top + tile.height);
  return x >= left - kEdge && x <= left + std::abs(tile.width) + kEdge && y >= top - kEdge &&
         y <= top + std::abs(tile.height) + kEdge;
}

bool VisibleInGallery(const PageModel::Tile& tile, double scale) {
  const double width = std::min(tile.left + tile.width, double{kGalleryWidth}) - std::max(tile.left, 0.0);
  const double height =
      std::min(tile.top + tile.height, static_cast<double>(ViewHeight('g'))) - std::max(tile.top, 0.0);
  return width * scale >= kVisibleSide && height * scale >= kVisibleSide;
}

// The page id of a `present` line, as JSON text, read without parsing the
// line: the host writes it right after "t", and the ids here are strings
// without escapes.
std::string PresentedId(const std::string& line) {
  static const std::string kId = R"("id":)";
  const size_t start = line.find(kId);
  if (start == std::string::npos) return "";
  const size_t from = start + kId.size();
  const size_t end = line.find(',', from);
  return line.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

// A "logPath" the module would make and write to (a non-empty string) names
// a folder below the file that stands where the logger's own folder would.
void KeepLogsAway(Json& msg) {
  if (!msg.is_object() || !msg.contains("data") || !msg["data"].is_object()) return;
  Json& data = msg["data"];
  const auto path = data.find("logPath");
  if (path == data.end() || !path->is_string() || path->get_ref<const std::string&>().empty()) return;
  *path = std::string(kNoLogFolder) + "/tallwick-log/page";
}

int64_t MappingsOfStreams() {
  static const std::string ours = OwnPaths("/tallwick-fuzz-");
  std::ifstream maps("/proc/self/maps");
  int64_t count = 0;
  for (std::string line; std::getline(maps, line);) {
    if (line.find(ours) != std::string::npos) ++count;
  }
  return count;
}

}  // namespace

PageTarget::PageTarget()
    : host_(TickBudgetEntryPoints(), [] { TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance(); }) {
  host_.SetListener([this](const std::string& line) { OnLine(line); });
  SetFindingContext([this] { TellRecentLines(); });
}

void PageTarget::RunInput(const std::string& text) {
  const PageScript script = DecodePageScript(text);
  StartInput(script.pixels);
  for (const PageStep& step : script.steps) Do(step);
  // The probe costs about a fifth of an input: every input with pictures
  // has one, and a quarter of the others, chosen by their bytes.
  if (pixels_ || std::hash<std::string>{}(text) % kProbeEvery == 0) ProbeNoFreeze();
  host_.EndInput();
  CheckNothingMapped();
  EndInput();
}

// What the input allocated is freed before it ends: libFuzzer runs an input
// a second time, with a leak check, whenever it ends with more allocations
// than frees.
void PageTarget::EndInput() {
  lines_ = 0;
  presents_.clear();
  model_.Reset();
  replies_ = ReplyCheck();
}

void PageTarget::StartInput(bool pixels) {
  pixels_ = pixels;
  spentMs_ = 0;
  BeginTickBudget(kPaintLoops);
  host_.SetPixelFree(!pixels);
  host_.Host().SetBeforeUpload({});
  for (const char* role = kRoles; *role != '\0'; ++role) CreateElement(*role);
  Deliver('c', {{"command", "DO_UPDATE_SHARED_MEMORY"}, {"data", {{"op", 2}}}});
}

void PageTarget::CreateElement(char role) {
  AddActionToTickBudget();
  host_.Execute(CreateLine(role));
  if (role != 'c') host_.Execute(ViewLine(role));
}

void PageTarget::Do(const PageStep& step) {
  switch (step.kind) {
    case PageStep::Kind::kMessage:
      Message(step.role, step.msg);
      break;
    case PageStep::Kind::kRun:
      Run(step.ms);
      break;
    case PageStep::Kind::kRecreate:
      AddActionToTickBudget();
      host_.Execute(Json{{"op", "destroy"}, {"id", IdOf(step.role)}});
      CreateElement(step.role);
      model_.Recreated(step.role);
      break;
    case PageStep::Kind::kContextLost:
      host_.Execute(Json{{"op", "contextlost"}, {"id", IdOf(step.role)}});
      model_.ContextLost(step.role);
      break;
    case PageStep::Kind::kPoke:
      streams_.Poke(step.stream, step.offset, step.value);
      break;
    case PageStep::Kind::kWriteDuringUpload:
      host_.Host().SetBeforeUpload([this, stream = step.stream] {
        streams_.StartForeignFrame(stream);
        host_.Host().SetBeforeUpload({});
      });
      break;
  }
}

// Only well-formed JSON is sent: the page's JSON itself is pphost_line's surface.
void PageTarget::Message(char role, const std::string& text) {
  Json msg = Json::parse(OwnPaths(text), nullptr, false);
  if (msg.is_discarded()) return;
  KeepLogsAway(msg);
  Deliver(role, msg);
}

Json PageTarget::Deliver(char role, const Json& msg) {
  AddActionToTickBudget();
  replies_.Expect(IdOf(role).dump(), msg);
  delivering_ = true;
  host_.Execute(Json{{"op", "message"}, {"id", IdOf(role)}, {"msg", msg}});
  delivering_ = false;
  const Json reply = replies_.Done();
  model_.Message(role, msg, &reply);
  // An ERROR the message itself caused (an INIT whose renderer fails) is
  // the new state's, so it is noted after the message.
  for (const auto& [from, code] : errorsWhileDelivering_) model_.ErrorPosted(from, code);
  errorsWhileDelivering_.clear();
  return reply;
}

void PageTarget::Run(int64_t ms) {
  const int64_t step = std::min(ms, kMaxInputMs - spentMs_);
  if (step <= 0) return;
  streams_.NewFrames();
  RunChecked(step);
  spentMs_ += step;
}

void PageTarget::RunChecked(int64_t ms) {
  AddTimeToTickBudget(ms);
  host_.Run(ms);
  if (pixels_) CheckPictures();
}

void PageTarget::CheckPictures() {
  CheckSinglePicture();
  CheckGalleryPicture();
}

// The single-stream element may show what the registry held under any key
// it had in this input, or under the controller's own keys.
void PageTarget::CheckSinglePicture() {
  const auto shown = host_.Host().LastPresented(IdOf('r'));
  if (!shown || shown->image.Empty()) return;
  const PageModel::Element& element = model_.Of('r');
  std::set<size_t> allowed;
  for (const std::set<std::string>* keys : {&element.everKeys, &model_.SelfKeys()}) {
    for (const std::string& key : *keys) {
      const std::set<size_t> streams = model_.StreamsEverUnder(key);
      allowed.insert(streams.begin(), streams.end());
    }
  }
  for (const StreamPixel& pixel : StreamPixels(shown->image, model_.Backgrounds())) {
    if (allowed.count(pixel.stream) != 0) continue;
    Finding("each picture shows its own stream", "the single-stream element shows stream " +
                                                     std::to_string(pixel.stream) + " at (" + std::to_string(pixel.x) +
                                                     ", " + std::to_string(pixel.y) + "), a stream it was never given");
  }
}

// A gallery pixel may show a stream only inside a tile (of any layout of
// this input) whose key the registry held that stream under.
void PageTarget::CheckGalleryPicture() {
  const auto shown = host_.Host().LastPresented(IdOf('g'));
  if (!shown || shown->image.Empty()) return;
  const PageModel::Element& element = model_.Of('g');
  const double scaleX = shown->image.width / double{kGalleryWidth};
  const double scaleY = shown->image.height / static_cast<double>(ViewHeight('g'));
  for (const StreamPixel& pixel : StreamPixels(shown->image, model_.Backgrounds())) {
    const double x = (pixel.x + 0.5) / scaleX, y = (pixel.y + 0.5) / scaleY;
    const bool allowed = std::any_of(element.everTiles.begin(), element.everTiles.end(), [&](const auto& tile) {
      return Contains(tile, x, y) && model_.StreamsEverUnder(tile.key).count(pixel.stream) != 0;
    });
    if (allowed) continue;
    Finding("each picture shows its own stream", "the gallery shows stream " + std::to_string(pixel.stream) + " at (" +
                                                     std::to_string(x) + ", " + std::to_string(y) +
                                                     ") CSS px, where no tile was given it");
  }
}

void PageTarget::ProbeNoFreeze() {
  Probe('r');
  Probe('g');
}

// Whatever the script did: the element's stream (every tile's, for the
// gallery) is registered as the probe's segment, the element is told to
// start and given an interval to settle, and the probe gets a new frame.
// Within two frame intervals the element presents a new picture, and on
// inputs with pictures it shows the probe's colour.
void PageTarget::Probe(char role) {
  const PageModel::Element& element = model_.Of(role);
  if (!element.inited || element.lost || element.failed || element.mayWaitForever ||
      !(element.dpr <= kLargestProbedDpr)) {
    return;
  }
  std::set<std::string> keys;
  if (role == 'r') {
    keys = element.keys;
    keys.insert(model_.SelfKeys().begin(), model_.SelfKeys().end());
  } else {
    for (const auto& tile : element.layout) keys.insert(tile.key);
  }
  if (keys.empty()) return;
  RegisterProbe(keys);
  Deliver(role, {{"command", "START_RENDER"}});
  // Starting may be what fails (a negative dpr gives no context): the
  // element then tells the page with an ERROR and is not expected to draw.
  if (element.failed) return;
  // The start's own tick settles first: a gallery that was stopped and
  // started again while a clear of its earlier run was still being
  // swapped draws its first tiles into a swap the browser refuses, and
  // shows them only with the stream's next frame, as it is meant to.
  const double intervalMs = element.longestIntervalMs;
  RunChecked(static_cast<int64_t>(std::ceil(intervalMs + kSwapMs)));
  streams_.NewProbeFrame();
  int64_t& presents = presents_[IdOf(role).dump()];
  const int64_t before = presents;
  RunChecked(static_cast<int64_t>(std::ceil(2 * intervalMs + kSwapMs)));
  if (presents == before) {
    Finding("no freeze", std::string(1, role) + ": no new picture within two intervals of " +
                             std::to_string(intervalMs) + " ms after a new frame of its stream");
  }
  if (!pixels_) return;
  // The picture's own size says how large the view came out: a single-stream
  // context made before its view is sized for its first frame.
  const auto shown = host_.Host().LastPresented(IdOf(role));
  const double scale = shown->image.width / static_cast<double>(ViewWidth(role));
  const bool visible = role == 'r'
                           ? std::min(shown->image.width, shown->image.height) >= kVisibleSide
                           : std::any_of(element.layout.begin(), element.layout.end(),
                                         [&](const PageModel::Tile& tile) { return VisibleInGallery(tile, scale); });
  const std::vector<StreamPixel> pixels = StreamPixels(shown->image, model_.Backgrounds());
  const bool probeShown =
      std::any_of(pixels.begin(), pixels.end(), [](const StreamPixel& p) { return p.stream == kProbeStream; });
  if (visible && !probeShown) {
    Finding("no freeze", std::string(1, role) + ": the new frame of its stream is not in the picture");
  }
}

void PageTarget::RegisterProbe(const std::set<std::string>& keys) {
  Json diffs = Json::array();
  for (const std::string& key : keys) diffs.push_back(ProbeDiff(key));
  Deliver('c', {{"command", "DO_UPDATE_SHARED_MEMORY"}, {"data", {{"op", 0}, {"diffs", diffs}}}});
}

// Once the elements are gone only the harness's writers map the segments.
// Reading the process's mappings costs about a tenth of an input, so only
// every 16th input and every input with pictures looks; a mapping left
// behind stays, so a later look still finds it.
void PageTarget::CheckNothingMapped() {
  constexpr int64_t kEvery = 16;
  if (!pixels_ && ++inputs_ % kEvery != 0) return;
  const int64_t mappings = MappingsOfStreams();
  if (mappings == static_cast<int64_t>(kStreamCount + 1)) return;
  Finding("nothing alive after the elements", std::to_string(mappings) + " mappings of the streams' segments, " +
                                                  std::to_string(kStreamCount + 1) + " of them the writers'");
}

void PageTarget::TellRecentLines() const {
  const size_t told = std::min(lines_, recent_.size());
  std::fprintf(Report(), "fuzz: the input's last %zu host lines:\n", told);
  for (size_t i = lines_ - told; i < lines_; ++i) std::fprintf(Report(), "  %s\n", recent_[i % recent_.size()].c_str());
}

void PageTarget::OnLine(const std::string& line) {
  recent_[lines_++ % recent_.size()].assign(line);
  static const std::string kPresent = R"({"kind":"present",)";
  static const std::string kPost = R"({"kind":"post",)";
  replies_.Line(line);
  if (line.rfind(kPresent, 0) == 0) {
    ++presents_[PresentedId(line)];
  } else if (line.rfind(kPost, 0) == 0 && line.find("\"ERROR\"") != std::string::npos) {
    const Json post = Json::parse(line);
    const Json& msg = post.at("msg");
    const Json& id = post.at("id");
    if (!id.is_string() || id.get<std::string>().size() != 1 || !msg.is_object()) return;
    if (msg.value("command", Json()) != "ERROR") return;
    const Json data = msg.value("data", Json::object());
    const int code = data.is_object() ? data.value("errorCode", 0) : 0;
    if (delivering_) {
      errorsWhileDelivering_.emplace_back(id.get<std::string>()[0], code);
    } else {
      model_.ErrorPosted(id.get<std::string>()[0], code);
    }
  }
}

}  // namespace tallwick_fuzz
