// Page messages to each role through the in-process host with the module
// linked in. Every input starts with a controller, a single-stream element and
// a gallery element on views, then runs the decoded script (page_script.h):
// messages of any shape, timer steps, elements recreated, contexts lost. A few
// real segments exist, and each gets a new frame before every timer step, so
// that ticks read and draw frames wherever the messages pointed them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "frame/frame_writer.h"
#include "fuzz_host.h"
#include "host/ppapi/ppp.h"
#include "page_script.h"

namespace {

using pphost::Json;
using tallwick::frame::FrameWriter;
using tallwick::frame::MakeGeometry;
using tallwick_fuzz::PageStep;

// The segments the seeds and the dictionary name.
struct Segment {
  const char* name;
  int32_t width, height, format, padding;
};
constexpr Segment kSegments[] = {
    {"/tallwick-fuzz-cam", 64, 36, tallwick::frame::kFormatI420, 0},
    {"/tallwick-fuzz-nv12", 48, 28, tallwick::frame::kFormatNV12, 8},
    {"/tallwick-fuzz-small", 16, 8, tallwick::frame::kFormatI420, 3},
};

std::unique_ptr<FrameWriter> Publish(const Segment& segment) {
  const auto geometry = MakeGeometry(segment.width, segment.height, segment.format, segment.padding);
  auto writer = std::make_unique<FrameWriter>(segment.name, geometry);
  if (writer->Create() != shoom::kOK) std::abort();
  const std::vector<uint8_t> grey(tallwick::frame::FrameSegmentSize(geometry), 128);
  writer->WriteFrame(1, grey.data(), grey.data(), grey.data());
  return writer;
}

std::string CreateLine(char role) {
  static const Json kAttrs = {{"c", Json::array({Json::array({"data-controller", ""})})},
                              {"r", Json::array()},
                              {"g", Json::array({Json::array({"data-multi", ""})})}};
  const std::string id(1, role);
  return Json{{"op", "create"}, {"id", id}, {"attrs", kAttrs.at(id)}}.dump();
}

std::string ViewLine(char role) {
  const int32_t width = role == 'g' ? 128 : 64;
  return Json{{"op", "view"}, {"id", std::string(1, role)}, {"rect", {0, 0, width, width * 9 / 16}}}.dump();
}

class PageTarget {
 public:
  PageTarget()
      : host_({&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule},
              [] { TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance(); }) {
    for (const Segment& segment : kSegments) writers_.push_back(Publish(segment));
  }

  void RunInput(const std::string& text) {
    spentMs_ = 0;
    for (const char* role = tallwick_fuzz::kRoles; *role != '\0'; ++role) CreateElement(*role);
    for (const PageStep& step : tallwick_fuzz::DecodePageScript(text)) Do(step);
    host_.EndInput();
  }

 private:
  void CreateElement(char role) {
    host_.Execute(CreateLine(role));
    if (role != 'c') host_.Execute(ViewLine(role));
  }

  void Do(const PageStep& step) {
    const std::string id(1, step.role);
    switch (step.kind) {
      case PageStep::Kind::kMessage:
        Message(id, step.msg);
        break;
      case PageStep::Kind::kRun:
        Run(step.ms);
        break;
      case PageStep::Kind::kRecreate:
        host_.Execute(Json{{"op", "destroy"}, {"id", id}}.dump());
        CreateElement(step.role);
        break;
      case PageStep::Kind::kContextLost:
        host_.Execute(Json{{"op", "contextlost"}, {"id", id}}.dump());
        break;
    }
  }

  // Only well-formed JSON is sent: the page's JSON itself is pphost_line's surface.
  void Message(const std::string& id, const std::string& text) {
    Json msg = Json::parse(text, nullptr, false);
    if (msg.is_discarded()) return;
    host_.Execute(Json{{"op", "message"}, {"id", id}, {"msg", std::move(msg)}}.dump());
  }

  void Run(int64_t ms) {
    const int64_t step = std::min(ms, tallwick_fuzz::kMaxInputMs - spentMs_);
    if (step <= 0) return;
    for (auto& writer : writers_) writer->WriteFrame(++frameId_, nullptr, nullptr, nullptr);
    host_.Run(step);
    spentMs_ += step;
  }

  tallwick_fuzz::FuzzHost host_;
  std::vector<std::unique_ptr<FrameWriter>> writers_;
  int32_t frameId_ = 1;
  int64_t spentMs_ = 0;
};

void RemoveSegments() {
  for (const Segment& segment : kSegments) shoom::Shm::Remove(segment.name);
}

// Never destroyed: the module and the host stay up until the process ends;
// only the segments' names are removed then.
PageTarget& TheTarget() {
  static PageTarget* target = [] {
    std::atexit(RemoveSegments);
    return new PageTarget();
  }();
  return *target;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  TheTarget();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TheTarget().RunInput(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
