#pragma once

#include <cstdint>

#include "host/gles2/gl2_api.h"

namespace TALLWICK_PP_RENDER {

// Creates a shader of `type` (stored in *shader before anything can fail)
// and compiles `source`. 0, or 15 with the info log written at level 5.
int32_t CompileShader(GLenum type, const char* source, GLuint* shader);

// Links `program`. 0, or 16 with the info log written at level 5.
int32_t LinkProgram(GLuint program);

// Whether the current context accepts a 1 x 1 GL_RED texture upload. Reads
// the oldest pending GL error, so an error left by an earlier call also
// answers false.
bool IsGLRedSupported();

}  // namespace TALLWICK_PP_RENDER
