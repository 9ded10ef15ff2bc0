#pragma once

#include <GLES2/gl2.h>

#include <cstdint>
#include <string>

#include "frame/video_frame.h"

namespace tallwick_bench {

// The GL steps both bare programs share, made as the module makes them.

// A program built from the two shader texts with the module's attribute
// locations bound before linking, made current; 0 with the reason when it
// does not build. The shader objects stay attached and are deleted with
// the program when `*vertexShader` and `*fragmentShader` are kept; pass
// null for both to delete them once linked, as the gallery does.
GLuint BuildBareProgram(const char* vertexText, const char* fragmentText, GLuint* vertexShader, GLuint* fragmentShader,
                        std::string* error);

// A plane texture with linear filtering and edges clamped, bound.
GLuint NewPlaneTexture();

// A whole-texture luminance upload of `width` x `height` bytes into
// `texture` on `unit`.
void UploadPlane(GLenum unit, GLuint texture, int32_t width, int32_t height, const uint8_t* pixels);

// The three planes of an I420 frame into `textures` (Y, U, V on units 0, 1,
// 2), each followed by its sampler uniform, "is_nv12" off after the first:
// the order of the module's uploads.
struct PlaneUniforms {
  GLint texY = -1;
  GLint texU = -1;
  GLint texV = -1;
  GLint isNv12 = -1;
};
PlaneUniforms LookUpPlaneUniforms(GLuint program);
void UploadI420(const TALLWICK_PP_RENDER::VideoFrame& frame, const GLuint* textures, const PlaneUniforms& uniforms);

}  // namespace tallwick_bench
