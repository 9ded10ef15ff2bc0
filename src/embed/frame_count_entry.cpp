#include "embed/frame_count_entry.h"

#include "common/clock.h"
#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

int32_t FrameCountTimestampMs() {
  static const int64_t kStartNs = TALLWICK_COMMON::MonotonicNs();
  return static_cast<int32_t>((TALLWICK_COMMON::MonotonicNs() - kStartNs) / 1000000);
}

pp::VarDictionary FrameCountEntry(int32_t frameWidth, int32_t frameHeight, const pp::Var& viewWidth,
                                  const pp::Var& viewHeight, uint64_t presents) {
  pp::VarDictionary entry;
  entry.Set(kKeyWidth, frameWidth);
  entry.Set(kKeyHeight, frameHeight);
  entry.Set(kKeyViewWidth, viewWidth);
  entry.Set(kKeyViewHeight, viewHeight);
  entry.Set(kKeyFrameCount, static_cast<int32_t>(static_cast<uint32_t>(presents)));
  entry.Set(kKeyTimestamp, FrameCountTimestampMs());
  return entry;
}

}  // namespace TALLWICK_PP_RENDER
