#include "stream/frame_copies.h"

#include <cstdint>
#include <cstring>

#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

namespace {

// The bytes of each plane the renderer reads: stride x rows; NV12 has no
// third plane.
std::array<size_t, 3> PlaneBytes(const VideoFrame& frame) {
  const auto rows = static_cast<size_t>(frame.height);
  const size_t chromaRows = tallwick::frame::ChromaRows(static_cast<uint32_t>(frame.height));
  const bool nv12 = frame.format == tallwick::frame::kFormatNV12;
  return {static_cast<size_t>(frame.planS0) * rows, static_cast<size_t>(frame.planS1) * chromaRows,
          nv12 ? 0 : static_cast<size_t>(frame.planS2) * chromaRows};
}

}  // namespace

VideoFrame FrameCopies::Copy(const VideoFrame& frame) {
  const int target = shown_ == 0 ? 1 : 0;
  std::vector<uint8_t>& buffer = buffers_[target];
  const std::array<size_t, 3> bytes = PlaneBytes(frame);
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
