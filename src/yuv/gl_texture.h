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

}  // namespace TALLWICK_PP_RENDER
