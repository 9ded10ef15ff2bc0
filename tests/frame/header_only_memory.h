#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/frame_layout.h"

namespace tallwick::test {

// A frame header as the writer stores it. Defaults: a complete 640x360 I420
// frame with tight strides (345652 bytes in all).
struct RawHeader {
  uint32_t frameId = 1;
  uint32_t state = frame::kStateComplete;
  uint32_t reserved0 = 0;
  uint32_t width = 640;
  uint32_t height = 360;
  uint32_t planS0 = 640;
  uint32_t planS1 = 320;
  uint32_t planS2 = 320;
  uint32_t rotation = 0;
  uint32_t flip = 0;
  uint32_t reserved1 = 0;
  uint32_t format = frame::kFormatI420;
  uint32_t reserved2 = 0;
};
static_assert(sizeof(RawHeader) == frame::kHeaderSize, "one field a header word");

inline constexpr size_t kDefaultFrameBytes = frame::kHeaderSize + (640 * 360 + 2 * 320 * 180);

// Address space of a segment in which only the 52 header bytes can be
// touched: the header ends at a page boundary and everything after it is
// inaccessible, so any read of a plane faults.
class HeaderOnlyMemory {
 public:
  explicit HeaderOnlyMemory(size_t segmentSize = kDefaultFrameBytes);
  ~HeaderOnlyMemory();

  HeaderOnlyMemory(const HeaderOnlyMemory&) = delete;
  HeaderOnlyMemory& operator=(const HeaderOnlyMemory&) = delete;

  // Writes every word at its offset, little-endian, byte by byte.
  void Write(const RawHeader& header);
  const uint8_t* Base() const { return base_; }

 private:
  uint8_t* region_ = nullptr;
  size_t regionSize_ = 0;
  uint8_t* base_ = nullptr;
};

}  // namespace tallwick::test
