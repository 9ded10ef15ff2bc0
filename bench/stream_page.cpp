#include "stream_page.h"

#include <utility>

#include "controller/controller_embed.h"
#include "host/ppapi/ppp.h"

namespace tallwick_bench {

namespace {

pphost::HostOptions Options(pphost::ClockMode clock) {
  pphost::HostOptions options;
  options.clock = clock;
  options.tracePresent = true;
  return options;
}

std::string Message(const std::string& id, const std::string& command, const std::string& dataJson) {
  return R"({"op":"message","id":")" + id + R"(","msg":{"command":")" + command + R"(","data":)" + dataJson + "}}";
}

std::string RegistrationData(const StreamPageSetup& setup) {
  const uint64_t size = tallwick::frame::FrameSegmentSize(setup.geometry);
  return R"({"op":0,"diffs":[{"path":")" + setup.segmentPath + R"(","uid":"u1","sid":"s1","bufferSize":)" +
         std::to_string(size) + R"(,"frameFormat":)" + std::to_string(setup.geometry.format) + "}]}";
}

}  // namespace

StreamPage::StreamPage(pphost::ClockMode clock, pphost::LineSink sink) : host_(Options(clock), std::move(sink)) {}

StreamPage::~StreamPage() {
  host_.Finish();
  TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance();
}

bool StreamPage::Start(const StreamPageSetup& setup, std::string* error) {
  if (!host_.Load(pphost::EntryPoints{&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule})) {
    *error = host_.LoadError();
    return false;
  }
  const std::string init =
      R"({"fps":)" + std::to_string(setup.fps) + R"(,"uid":"u1","sid":"s1","renderExceptionThreshold":2000,"dpr":1})";
  const std::string view = R"({"op":"view","id":"v","rect":[0,0,)" + std::to_string(setup.viewWidth) + "," +
                           std::to_string(setup.viewHeight) + "]}";
  // The view comes after "INIT", so that the new renderer sizes its buffer from it.
  return Do(R"({"op":"create","id":"c","attrs":[["data-controller",""]]})", error) &&
         Do(R"({"op":"create","id":"v","attrs":[]})", error) && Do(Message("v", "INIT", init), error) &&
         Do(view, error) && Do(Message("c", "DO_UPDATE_SHARED_MEMORY", RegistrationData(setup)), error) &&
         Do(Message("v", "START_RENDER", "{}"), error);
}

bool StreamPage::Run(int64_t ms) { return host_.Execute(R"({"op":"run","ms":)" + std::to_string(ms) + "}"); }

bool StreamPage::Do(const std::string& line, std::string* error) {
  if (host_.Execute(line)) return true;
  *error = "the page refused " + line;
  return false;
}

}  // namespace tallwick_bench
