#pragma once

// What the GL call record needs to know of a context's state to write the
// data behind a pointer instead of its address, and how it writes that data.
#include <cstddef>
#include <functional>
#include <map>

#include "devhost/json.h"
#include "host/ppapi/ppb_opengles2.h"

namespace pphost {

// A vertex attribute array as VertexAttribPointer set it.
struct VertexArray {
  bool enabled = false;
  bool client = false;  // in the module's memory, not in a buffer object
  GLint size = 4;
  GLenum type = 0;
  GLsizei stride = 0;
  const void* pointer = nullptr;
};

struct ClientState {
  GLint unpackAlignment = 4;
  GLuint arrayBuffer = 0;
  GLuint elementBuffer = 0;
  std::map<GLuint, VertexArray> arrays;
};

// `size` bytes as {"bytes": size, "crc32": "hex"}; null for a null pointer.
Json BytesData(const void* data, size_t size);

// Calls `row(start, rowBytes)` for each row GL reads of an upload of
// `width` x `height` pixels from `pixels`, rows `alignment` bytes apart
// (GL_UNPACK_ALIGNMENT); false, and no call, for a format and type not sized
// here or a bad size.
bool ForEachUploadRow(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height, GLint alignment,
                      const std::function<void(const unsigned char* start, size_t rowBytes)>& row);

// A pixel rectangle as GL reads it for an upload (rows `alignment` apart),
// written as BytesData of its rows without their padding; {"format":
// "unknown"} for a format and type the record does not size.
Json PixelData(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height, GLint alignment);

// The values a draw reads from a client array for vertices first .. first +
// count - 1: one number a component.
Json VertexValues(const VertexArray& array, GLint first, GLsizei count);

// How many values GetIntegerv writes for `pname`.
size_t IntegerQueryCount(GLenum pname);

}  // namespace pphost
