#pragma once

// Layout of the one frame a video segment holds: a 52-byte header of 32-bit
// little-endian words at offset 0, then plane 0, plane 1 and plane 2 without
// gaps. Shared by the module's parser, the frame writer and the tests.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tallwick::frame {

// Header word offsets, in bytes from the start of the segment.
inline constexpr size_t kOffsetFrameId = 0;
inline constexpr size_t kOffsetState = 4;
inline constexpr size_t kOffsetReserved0 = 8;
inline constexpr size_t kOffsetWidth = 12;
inline constexpr size_t kOffsetHeight = 16;
inline constexpr size_t kOffsetPlanS0 = 20;
inline constexpr size_t kOffsetPlanS1 = 24;
inline constexpr size_t kOffsetPlanS2 = 28;
inline constexpr size_t kOffsetRotation = 32;
inline constexpr size_t kOffsetFlip = 36;
inline constexpr size_t kOffsetReserved1 = 40;
inline constexpr size_t kOffsetFormat = 44;
inline constexpr size_t kOffsetReserved2 = 48;

// Plane 0 starts right after the header.
inline constexpr size_t kHeaderSize = 52;

// Pixel formats. Readers draw kFormatNV12 as NV12 and every other value as I420.
inline constexpr int32_t kFormatI420 = 0;
inline constexpr int32_t kFormatRGBA = 1;
inline constexpr int32_t kFormatNV12 = 2;

// State word: kStateComplete marks a finished frame; any other value means the
// writer is rewriting it.
inline constexpr uint32_t kStateWriting = 1;
inline constexpr uint32_t kStateComplete = 2;

// Rows of planes 1 and 2: half the picture height, rounded down.
constexpr uint32_t ChromaRows(uint32_t height) { return height / 2; }

// Reads a little-endian 32-bit word at any alignment.
inline uint32_t LoadLE32(const uint8_t* at) {
  uint8_t bytes[4];
  std::memcpy(bytes, at, sizeof(bytes));
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Writes a little-endian 32-bit word at any alignment.
inline void StoreLE32(uint8_t* at, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  std::memcpy(at, bytes, sizeof(bytes));
}

}  // namespace tallwick::frame
