// The C interface over FrameWriter: every argument is checked before the
// segment is touched, so a refused call leaves the last complete frame as it
// was, and nothing is thrown across the interface.

#include "tallwick_frame_writer.h"

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "frame/frame_layout.h"
#include "writer/frame_writer.h"

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;

struct tallwick_frame_writer {
  tallwick_frame_writer(const char* name, const FrameGeometry& geometry, size_t segmentSize)
      : frames(name, geometry, segmentSize) {}

  FrameWriter frames;
  int32_t rotation = 0;
  bool flip = false;
  bool begun = false;
};

namespace {

constexpr size_t kLongestName = 255;

// Bytes of one row of a plane (I420 planes 1 and 2 or NV12 plane 1 when index > 0).
int64_t RowBytes(int32_t format, int32_t width, int index) {
  if (index == 0) return width;
  const int64_t chromaWidth = (static_cast<int64_t>(width) + 1) / 2;
  return format == tallwick::frame::kFormatNV12 ? 2 * chromaWidth : chromaWidth;
}

tallwick_fw_error CheckSize(int32_t width, int32_t height, uint64_t* size) {
  if (width <= 0 || height <= 0) return TALLWICK_FW_ERROR_BAD_SIZE;
  // I420's two chroma planes hold as many bytes as NV12's one.
  const auto rows = static_cast<uint64_t>(height);
  const uint64_t bytes = TALLWICK_FW_HEADER_SIZE +
                         static_cast<uint64_t>(RowBytes(TALLWICK_FW_FORMAT_I420, width, 0)) * rows +
                         2 * static_cast<uint64_t>(RowBytes(TALLWICK_FW_FORMAT_I420, width, 1)) * (rows / 2);
  if (bytes > TALLWICK_FW_MAX_SEGMENT_SIZE) return TALLWICK_FW_ERROR_TOO_LARGE;
  *size = bytes;
  return TALLWICK_FW_OK;
}

tallwick_fw_error CheckName(const char* name) {
  const size_t length = strnlen(name, kLongestName + 1);
  if (length == 0 || length > kLongestName) return TALLWICK_FW_ERROR_BAD_NAME;
#ifndef _WIN32
  if (name[0] != '/' || length == 1 || std::strchr(name + 1, '/') != nullptr) return TALLWICK_FW_ERROR_BAD_NAME;
#endif
  return TALLWICK_FW_OK;
}

tallwick_fw_error Create(const char* name, uint64_t segmentSize, tallwick_frame_writer** writer) {
  if (name == nullptr || writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  *writer = nullptr;
  if (const tallwick_fw_error error = CheckName(name); error != TALLWICK_FW_OK) return error;
  auto created = std::unique_ptr<tallwick_frame_writer>(new (std::nothrow) tallwick_frame_writer(
      name, tallwick::frame::MakeGeometry(0, 0, tallwick::frame::kFormatI420), static_cast<size_t>(segmentSize)));
  if (!created) return TALLWICK_FW_ERROR_OUT_OF_MEMORY;
  switch (created->frames.Create()) {
    case shoom::kOK:
      break;
    case shoom::kErrorMappingFailed:
      return TALLWICK_FW_ERROR_MAP_FAILED;
    default:
      return TALLWICK_FW_ERROR_CREATE_FAILED;
  }
  // A segment left under this name by an earlier writer may still hold a
  // complete frame; until this writer's first frame, none is complete.
  created->frames.BeginFrame();
  *writer = created.release();
  return TALLWICK_FW_OK;
}

// Checks a frame's format and size against the reader's limits and the
// writer's segment, and on success sets the writer's geometry for it.
tallwick_fw_error Prepare(tallwick_frame_writer* writer, int32_t format, int32_t width, int32_t height) {
  if (format != TALLWICK_FW_FORMAT_I420 && format != TALLWICK_FW_FORMAT_NV12) return TALLWICK_FW_ERROR_BAD_FORMAT;
  uint64_t bytes = 0;
  if (const tallwick_fw_error error = CheckSize(width, height, &bytes); error != TALLWICK_FW_OK) return error;
  FrameGeometry geometry = tallwick::frame::MakeGeometry(width, height, format);
  geometry.rotation = writer->rotation;
  geometry.flip = writer->flip;
  if (!writer->frames.SetGeometry(geometry)) return TALLWICK_FW_ERROR_DOES_NOT_FIT;
  return TALLWICK_FW_OK;
}

tallwick_fw_error Write(tallwick_frame_writer* writer, int32_t format, int32_t frameId, int32_t width, int32_t height,
                        const uint8_t* const planes[3], const int32_t strides[3]) {
  if (writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  const int planeCount = format == TALLWICK_FW_FORMAT_NV12 ? 2 : 3;
  for (int index = 0; index < planeCount; ++index) {
    if (planes[index] == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  }
  if (frameId == -1) return TALLWICK_FW_ERROR_BAD_FRAME_ID;
  if (width <= 0 || height <= 0) return TALLWICK_FW_ERROR_BAD_SIZE;
  for (int index = 0; index < planeCount; ++index) {
    if (strides[index] < RowBytes(format, width, index)) return TALLWICK_FW_ERROR_BAD_STRIDE;
  }
  if (const tallwick_fw_error error = Prepare(writer, format, width, height); error != TALLWICK_FW_OK) return error;

  FrameWriter& frames = writer->frames;
  frames.BeginFrame();
  writer->begun = false;
  for (int index = 0; index < planeCount; ++index) {
    const int32_t rows = index == 0 ? height : tallwick::frame::ChromaRows(static_cast<uint32_t>(height));
    const auto rowBytes = static_cast<size_t>(RowBytes(format, width, index));
    for (int32_t row = 0; row < rows; ++row) {
      std::memcpy(frames.Row(index, row), planes[index] + static_cast<ptrdiff_t>(row) * strides[index], rowBytes);
    }
  }
  frames.EndFrame(frameId);
  return TALLWICK_FW_OK;
}

}  // namespace

extern "C" {

const char* tallwick_fw_error_text(tallwick_fw_error error) {
  switch (error) {
    case TALLWICK_FW_OK:
      return "no error";
    case TALLWICK_FW_ERROR_NULL_ARGUMENT:
      return "a required pointer argument is null";
    case TALLWICK_FW_ERROR_BAD_NAME:
      return "the segment name is empty, too long or not of the platform's form";
    case TALLWICK_FW_ERROR_BAD_SIZE:
      return "width, height or buffer size is not positive";
    case TALLWICK_FW_ERROR_TOO_LARGE:
      return "the frame or segment is larger than a reader maps";
    case TALLWICK_FW_ERROR_BAD_STRIDE:
      return "a stride is smaller than the row it holds";
    case TALLWICK_FW_ERROR_DOES_NOT_FIT:
      return "the frame does not fit the writer's segment";
    case TALLWICK_FW_ERROR_BAD_ROTATION:
      return "the rotation is not 0, 90, 180 or 270";
    case TALLWICK_FW_ERROR_BAD_FRAME_ID:
      return "the frame id -1 is reserved";
    case TALLWICK_FW_ERROR_CREATE_FAILED:
      return "the segment could not be created";
    case TALLWICK_FW_ERROR_MAP_FAILED:
      return "the segment could not be mapped";
    case TALLWICK_FW_ERROR_OUT_OF_MEMORY:
      return "out of memory";
    case TALLWICK_FW_ERROR_WRONG_STEP:
      return "commit without a frame begun";
    case TALLWICK_FW_ERROR_INTERNAL:
      return "internal error";
    case TALLWICK_FW_ERROR_BAD_FORMAT:
      return "the pixel format is neither I420 nor NV12";
  }
  return "unknown error code";
}

tallwick_fw_error tallwick_fw_frame_size(int32_t width, int32_t height, uint64_t* size) {
  if (size == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  return CheckSize(width, height, size);
}

tallwick_fw_error tallwick_fw_create(const char* name, int32_t max_width, int32_t max_height,
                                     tallwick_frame_writer** writer) {
  try {
    uint64_t bytes = 0;
    if (name == nullptr || writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
    *writer = nullptr;
    if (const tallwick_fw_error error = CheckSize(max_width, max_height, &bytes); error != TALLWICK_FW_OK) {
      return error;
    }
    return Create(name, bytes, writer);
  } catch (const std::bad_alloc&) {
    return TALLWICK_FW_ERROR_OUT_OF_MEMORY;
  } catch (...) {
    return TALLWICK_FW_ERROR_INTERNAL;
  }
}

tallwick_fw_error tallwick_fw_create_sized(const char* name, uint64_t buffer_size, tallwick_frame_writer** writer) {
  try {
    if (name == nullptr || writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
    *writer = nullptr;
    if (buffer_size < TALLWICK_FW_HEADER_SIZE) return TALLWICK_FW_ERROR_BAD_SIZE;
    if (buffer_size > TALLWICK_FW_MAX_SEGMENT_SIZE) return TALLWICK_FW_ERROR_TOO_LARGE;
    return Create(name, buffer_size, writer);
  } catch (const std::bad_alloc&) {
    return TALLWICK_FW_ERROR_OUT_OF_MEMORY;
  } catch (...) {
    return TALLWICK_FW_ERROR_INTERNAL;
  }
}

uint64_t tallwick_fw_buffer_size(const tallwick_frame_writer* writer) {
  return writer == nullptr ? 0 : writer->frames.Segment().Size();
}

tallwick_fw_error tallwick_fw_set_orientation(tallwick_frame_writer* writer, int32_t rotation, int32_t flip) {
  if (writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270) return TALLWICK_FW_ERROR_BAD_ROTATION;
  writer->rotation = rotation;
  writer->flip = flip != 0;
  return TALLWICK_FW_OK;
}

tallwick_fw_error tallwick_fw_write_i420(tallwick_frame_writer* writer, int32_t frame_id, int32_t width, int32_t height,
                                         const uint8_t* y, int32_t y_stride, const uint8_t* u, int32_t u_stride,
                                         const uint8_t* v, int32_t v_stride) {
  try {
    const uint8_t* const planes[3] = {y, u, v};
    const int32_t strides[3] = {y_stride, u_stride, v_stride};
    return Write(writer, TALLWICK_FW_FORMAT_I420, frame_id, width, height, planes, strides);
  } catch (...) {
    return TALLWICK_FW_ERROR_INTERNAL;
  }
}

tallwick_fw_error tallwick_fw_write_nv12(tallwick_frame_writer* writer, int32_t frame_id, int32_t width, int32_t height,
                                         const uint8_t* y, int32_t y_stride, const uint8_t* uv, int32_t uv_stride) {
  try {
    const uint8_t* const planes[3] = {y, uv, nullptr};
    const int32_t strides[3] = {y_stride, uv_stride, 0};
    return Write(writer, TALLWICK_FW_FORMAT_NV12, frame_id, width, height, planes, strides);
  } catch (...) {
    return TALLWICK_FW_ERROR_INTERNAL;
  }
}

tallwick_fw_error tallwick_fw_begin(tallwick_frame_writer* writer, int32_t format, int32_t width, int32_t height,
                                    uint8_t* planes[3], int32_t strides[3]) {
  try {
    if (writer == nullptr || planes == nullptr || strides == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
    if (const tallwick_fw_error error = Prepare(writer, format, width, height); error != TALLWICK_FW_OK) return error;
    FrameWriter& frames = writer->frames;
    frames.BeginFrame();
    writer->begun = true;
    const FrameGeometry& geometry = frames.Geometry();
    const bool nv12 = format == TALLWICK_FW_FORMAT_NV12;
    planes[0] = frames.Plane(0);
    planes[1] = frames.Plane(1);
    planes[2] = nv12 ? nullptr : frames.Plane(2);
    strides[0] = geometry.planS0;
    strides[1] = geometry.planS1;
    strides[2] = nv12 ? 0 : geometry.planS2;
    return TALLWICK_FW_OK;
  } catch (...) {
    return TALLWICK_FW_ERROR_INTERNAL;
  }
}

tallwick_fw_error tallwick_fw_commit(tallwick_frame_writer* writer, int32_t frame_id) {
  if (writer == nullptr) return TALLWICK_FW_ERROR_NULL_ARGUMENT;
  if (!writer->begun) return TALLWICK_FW_ERROR_WRONG_STEP;
  if (frame_id == -1) return TALLWICK_FW_ERROR_BAD_FRAME_ID;
  writer->frames.EndFrame(frame_id);
  writer->begun = false;
  return TALLWICK_FW_OK;
}

void tallwick_fw_close(tallwick_frame_writer* writer, int32_t keep_name) {
  if (writer == nullptr) return;
  if (keep_name != 0) writer->frames.KeepSegment();
  delete writer;
}

}  // extern "C"
