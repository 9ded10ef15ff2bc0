#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/video_frame.h"

namespace TALLWICK_PP_RENDER {

// The planes of a stream's frames, copied out of its segment into memory of
// the reader's own, so that the writer cannot change a frame while the
// renderer uploads it, and so that a frame read whole stays whole.
//
// Two buffers: one holds the frame the role shows (which a gallery may draw
// again after a clear), the other takes each new read. Owned by a
// StreamReader (shared by its copies); main thread only.
class FrameCopies {
 public:
  // Copies the planes of `frame`, already checked against the mapping they
  // point into, into the buffer that does not hold the shown frame, and
  // returns `frame` pointing at the copy.
  VideoFrame Copy(const VideoFrame& frame);
  // From now on `frame` is shown: the buffer its planes point into, if it is
  // one of these, is kept until another frame is shown.
  void Show(const VideoFrame& frame);
  // No buffer holds a shown frame.
  void ForgetShown() { shown_ = kNone; }

 private:
  static constexpr int kNone = -1;

  int BufferHolding(const uint8_t* plane) const;

  std::array<std::vector<uint8_t>, 2> buffers_;
  int shown_ = kNone;
};

}  // namespace TALLWICK_PP_RENDER
