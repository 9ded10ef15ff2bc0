#include "devhost/glcalls/client_state.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace pphost {

namespace {

constexpr GLenum kByte = 0x1400;
constexpr GLenum kUnsignedByte = 0x1401;
constexpr GLenum kShort = 0x1402;
constexpr GLenum kUnsignedShort = 0x1403;
constexpr GLenum kFloat = 0x1406;
constexpr GLenum kFixed = 0x140C;
constexpr GLenum kUnsignedShort4444 = 0x8033;
constexpr GLenum kUnsignedShort5551 = 0x8034;
constexpr GLenum kUnsignedShort565 = 0x8363;
constexpr GLenum kRed = 0x1903;
constexpr GLenum kAlpha = 0x1906;
constexpr GLenum kRgb = 0x1907;
constexpr GLenum kRgba = 0x1908;
constexpr GLenum kLuminance = 0x1909;
constexpr GLenum kLuminanceAlpha = 0x190A;
constexpr GLenum kRg = 0x8227;

// Bytes a pixel of `format` and `type` takes in client memory; 0 unknown.
size_t PixelSize(GLenum format, GLenum type) {
  if (type == kUnsignedShort4444 || type == kUnsignedShort5551 || type == kUnsignedShort565) return 2;
  if (type != kUnsignedByte) return 0;
  switch (format) {
    case kRed:
    case kAlpha:
    case kLuminance:
      return 1;
    case kLuminanceAlpha:
    case kRg:
      return 2;
    case kRgb:
      return 3;
    case kRgba:
      return 4;
    default:
      return 0;
  }
}

size_t ComponentSize(GLenum type) {
  switch (type) {
    case kByte:
    case kUnsignedByte:
      return 1;
    case kShort:
    case kUnsignedShort:
      return 2;
    case kFloat:
    case kFixed:
      return 4;
    default:
      return 0;
  }
}

Json Component(const unsigned char* at, GLenum type) {
  switch (type) {
    case kByte:
      return static_cast<int8_t>(*at);
    case kUnsignedByte:
      return *at;
    case kShort: {
      int16_t value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
    case kUnsignedShort: {
      uint16_t value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
    case kFixed: {
      int32_t value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
    default: {
      float value;
      std::memcpy(&value, at, sizeof value);
      return static_cast<double>(value);
    }
  }
}

Json Crc32Hex(uLong crc) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(crc));
  return hex;
}

}  // namespace

Json BytesData(const void* data, size_t size) {
  if (data == nullptr) return nullptr;
  const uLong crc = crc32_z(crc32_z(0, nullptr, 0), static_cast<const Bytef*>(data), size);
  return Json{{"bytes", size}, {"crc32", Crc32Hex(crc)}};
}

bool ForEachUploadRow(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height, GLint alignment,
                      const std::function<void(const unsigned char* start, size_t rowBytes)>& row) {
  const size_t pixelSize = PixelSize(format, type);
  if (pixels == nullptr || pixelSize == 0 || width < 0 || height < 0 || alignment <= 0) return false;
  const size_t rowBytes = pixelSize * static_cast<size_t>(width);
  const size_t step = (rowBytes + alignment - 1) / alignment * alignment;
  const auto* start = static_cast<const unsigned char*>(pixels);
  for (GLsizei y = 0; y < height; ++y, start += step) row(start, rowBytes);
  return true;
}

Json PixelData(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height, GLint alignment) {
  if (pixels == nullptr) return nullptr;
  uLong crc = crc32_z(0, nullptr, 0);
  size_t bytes = 0;
  const bool sized = ForEachUploadRow(pixels, format, type, width, height, alignment,
                                      [&](const unsigned char* start, size_t rowBytes) {
                                        crc = crc32_z(crc, start, rowBytes);
                                        bytes += rowBytes;
                                      });
  if (!sized) return Json{{"format", "unknown"}};
  return Json{{"bytes", bytes}, {"crc32", Crc32Hex(crc)}};
}

Json VertexValues(const VertexArray& array, GLint first, GLsizei count) {
  const size_t componentSize = ComponentSize(array.type);
  if (array.pointer == nullptr || componentSize == 0 || array.size <= 0 || first < 0 || count < 0) return nullptr;
  const size_t vertexBytes = componentSize * static_cast<size_t>(array.size);
  const size_t step = array.stride > 0 ? static_cast<size_t>(array.stride) : vertexBytes;
  Json values = Json::array();
  const auto* base = static_cast<const unsigned char*>(array.pointer);
  for (GLsizei v = 0; v < count; ++v) {
    const unsigned char* vertex = base + (static_cast<size_t>(first) + static_cast<size_t>(v)) * step;
    for (GLint c = 0; c < array.size; ++c) values.push_back(Component(vertex + c * componentSize, array.type));
  }
  return values;
}

size_t IntegerQueryCount(GLenum pname) {
  switch (pname) {
    case 0x0BA2:  // GL_VIEWPORT
    case 0x0C10:  // GL_SCISSOR_BOX
    case 0x0C22:  // GL_COLOR_CLEAR_VALUE
    case 0x0C23:  // GL_COLOR_WRITEMASK
    case 0x8005:  // GL_BLEND_COLOR
      return 4;
    case 0x0B70:  // GL_DEPTH_RANGE
    case 0x0D3A:  // GL_MAX_VIEWPORT_DIMS
    case 0x846D:  // GL_ALIASED_POINT_SIZE_RANGE
    case 0x846E:  // GL_ALIASED_LINE_WIDTH_RANGE
      return 2;
    default:
      return 1;
  }
}

}  // namespace pphost
