// A frame in a mapping of the fuzzed size: the input is the whole mapping,
// header and planes. It goes through the module's parse and bounds check as a
// tick reads a segment, and a frame that passes is uploaded and drawn by the
// single-stream renderer on the host's GL. The bytes end at an inaccessible
// page, so a read past the mapping faults even inside the GL driver.
#include <cstddef>
#include <cstdint>

#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "frame/video_frame.h"
#include "frame_plugin.h"
#include "fuzz_host.h"
#include "guarded_mapping.h"

namespace {

// The largest input libFuzzer is run with for this target (scripts/fuzz.sh).
constexpr size_t kMaxMapping = 1 << 14;

struct Target {
  tallwick_fuzz::FuzzHost host{tallwick_fuzz::FramePluginEntryPoints()};
  tallwick_fuzz::GuardedMapping mapping{kMaxMapping};

  Target() {
    host.Execute(R"({"op":"create","id":"frame","attrs":[]})");
    host.Execute(R"({"op":"view","id":"frame","rect":[0,0,96,54]})");
  }
};

// Never destroyed: the host stays up until the process ends.
Target& TheTarget() {
  static Target* target = new Target();
  return *target;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  TheTarget();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxMapping) return -1;
  Target& target = TheTarget();
  const uint8_t* base = target.mapping.Place(data, size);
  // As the roles do: a mapping smaller than the header holds no frame.
  if (size < tallwick::frame::kHeaderSize) return 0;
  TALLWICK_PP_RENDER::VideoFrame frame;
  if (TALLWICK_PP_RENDER::ParseVideoFrame(base, &frame, "fuzz") != TALLWICK_PP_RENDER::kVideoFrameOk) return 0;
  if (TALLWICK_PP_RENDER::CheckVideoFrameBounds(frame, base, size, "fuzz") != TALLWICK_PP_RENDER::kVideoFrameOk) {
    return 0;
  }
  if (tallwick_fuzz::DrawWithPlugin(frame)) target.host.Run(0);
  return 0;
}
