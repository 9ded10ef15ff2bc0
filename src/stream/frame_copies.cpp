#include "stream/frame_copies.h"

#include <cstdint>
#include <cstring>

namespace TALLWICK_PP_RENDER {

VideoFrame FrameCopies::Copy(const VideoFrame& frame) {
  const int target = shown_ == 0 ? 1 : 0;
  std::vector<uint8_t>& buffer = buffers_[target];
  // The sizes fit size_t: the planes were checked against the mapping.
  const std::array<uint64_t, 3> planeBytes = PlaneBytes(frame);
  const std::array<size_t, 3> bytes = {static_cast<size_t>(planeBytes[0]), static_cast<size_t>(planeBytes[1]),
                                       static_cast<size_t>(planeBytes[2])};
  // Grows to the largest frame seen and stays there: no allocation per frame.
  if (buffer.size() < bytes[0] + bytes[1] + bytes[2]) buffer.resize(bytes[0] + bytes[1] + bytes[2]);
  VideoFrame copy = frame;
  uint8_t* at = buffer.data();
  const std::array<const uint8_t*, 3> from = {frame.plan0, frame.plan1, frame.plan2};
  std::array<const uint8_t*, 3> to{};
  for (size_t plane = 0; plane < from.size(); ++plane) {
    if (bytes[plane] != 0) std::memcpy(at, from[plane], bytes[plane]);
    to[plane] = at;
    at += bytes[plane];
  }
  copy.plan0 = to[0];
  copy.plan1 = to[1];
  copy.plan2 = to[2];
  return copy;
}

void FrameCopies::Show(const VideoFrame& frame) {
  const int holder = BufferHolding(frame.plan0);
  if (holder != kNone) shown_ = holder;
}

int FrameCopies::BufferHolding(const uint8_t* plane) const {
  for (int index = 0; index < 2; ++index) {
    const std::vector<uint8_t>& buffer = buffers_[static_cast<size_t>(index)];
    const auto begin = reinterpret_cast<uintptr_t>(buffer.data());
    const auto at = reinterpret_cast<uintptr_t>(plane);
    if (!buffer.empty() && at >= begin && at - begin < buffer.size()) return index;
  }
  return kNone;
}

}  // namespace TALLWICK_PP_RENDER
