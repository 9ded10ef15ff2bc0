#pragma once

#include <cstdint>

#include "host/gles2/gl2_api.h"

namespace TALLWICK_PP_RENDER {

// A new plane texture, bound to GL_TEXTURE_2D: linear filtering, edges clamped,
// no storage yet.
GLuint NewPlaneTexture();

// Deletes the texture when it has a name, and clears the name.
void DeleteTexture(GLuint& texture);

// Uploads one plane as a whole texture (internal format = format) on `unit`.
void UploadPlane(GLenum unit, GLuint texture, GLenum format, int32_t width, int32_t height, const uint8_t* pixels);

// The three plane textures of a renderer (for NV12, u holds the interleaved
// chroma and v is unused).
struct PlaneTextures {
  GLuint y = 0;
  GLuint u = 0;
  GLuint v = 0;

  // Deletes the textures there are and makes three new ones; false when the
  // GL gave no name for any of them.
  bool Recreate();
};

}  // namespace TALLWICK_PP_RENDER
