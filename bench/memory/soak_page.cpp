#include "memory/soak_page.h"

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "host/ppapi/ppp.h"

namespace tallwick_bench {

namespace {

using pphost::Json;

constexpr const char* kControllerId = "controller";
constexpr int kFps = 30;
constexpr size_t kErrorsKept = 5;

pphost::HostOptions Options() {
  pphost::HostOptions options;
  options.clock = pphost::ClockMode::kReal;
  options.tracePresent = true;
  return options;
}

bool StartsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

}  // namespace

SoakPage::SoakPage() : host_(Options(), [this](const std::string& line) { Watch(line); }) {}

SoakPage::~SoakPage() {
  host_.Finish();
  TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance();
}

bool SoakPage::Start(const std::vector<PageStream>& streams, std::string* error) {
  if (!host_.Load(pphost::EntryPoints{&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule})) {
    *error = host_.LoadError();
    return false;
  }
  return Do(CreateLine(kControllerId, ControllerAttrs()), error) && Register(streams, error);
}

bool SoakPage::Register(const std::vector<PageStream>& streams, std::string* error) {
  return Do(MessageLine(kControllerId, "DO_UPDATE_SHARED_MEMORY", RegistrationData(streams)), error);
}

bool SoakPage::AddSingleStream(const std::string& id, const PageStream& stream, int width, int height,
                               std::string* error) {
  return Do(CreateLine(id, ElementAttrs(ElementRole::kSingleStream)), error) &&
         Do(MessageLine(id, "INIT", SingleStreamInitData(kFps, stream)), error) &&
         Do(ViewLine(id, width, height), error) && Do(MessageLine(id, "START_RENDER", Json::object()), error);
}

bool SoakPage::AddGallery(const std::string& id, int width, int height, std::string* error) {
  return Do(CreateLine(id, ElementAttrs(ElementRole::kGallery)), error) &&
         Do(MessageLine(id, "INIT", GalleryInitData(kFps, id)), error) && Do(ViewLine(id, width, height), error) &&
         Do(MessageLine(id, "START_RENDER", Json::object()), error);
}

bool SoakPage::Layout(const std::string& id, const std::vector<PageStream>& streams, const std::vector<Rect>& tiles,
                      const std::vector<bool>& mirrored, std::string* error) {
  return Do(MessageLine(id, "UPDATE_MULTI_INFOS", LayoutData(streams, tiles, mirrored)), error);
}

bool SoakPage::Remove(const std::string& id, std::string* error) { return Do(DestroyLine(id), error); }

bool SoakPage::Run(int64_t ms) { return host_.Run(ms); }

bool SoakPage::Shutdown(std::string* leftovers) {
  host_.Execute(R"({"op":"shutdown"})");
  if (shutdownLine_.empty()) {
    *leftovers = "no shutdown line";
    return false;
  }
  const Json counts = Json::parse(shutdownLine_);
  if (counts.at("live_vars") == 0 && counts.at("live_resources") == 0) return true;
  *leftovers = shutdownLine_;
  return false;
}

// Only the lines the tally needs are parsed, so that frames stay cheap.
void SoakPage::Watch(const std::string& line) {
  if (StartsWith(line, R"({"kind":"present")")) {
    ++tally_.presents[Json::parse(line).at("id").get<std::string>()];
  } else if (StartsWith(line, R"({"kind":"post")")) {
    if (line.find("RENDER_STARTED") != std::string::npos) ++tally_.firstShown;
    if (line.find(R"("NO_FRAME")") != std::string::npos) ++tally_.noFrameReports;
    if (line.find(R"("command":"ERROR")") != std::string::npos) {
      ++tally_.errorEvents;
      NoteError(line);
    }
  } else if (StartsWith(line, R"({"kind":"error")")) {
    ++tally_.hostErrors;
    NoteError(line);
  } else if (StartsWith(line, R"({"kind":"shutdown")")) {
    shutdownLine_ = line;
  }
}

void SoakPage::NoteError(const std::string& line) {
  if (tally_.firstErrors.size() < kErrorsKept) tally_.firstErrors.push_back(line);
}

bool SoakPage::Do(const std::string& line, std::string* error) {
  if (host_.Execute(line)) return true;
  *error = "the page refused " + line;
  return false;
}

}  // namespace tallwick_bench
