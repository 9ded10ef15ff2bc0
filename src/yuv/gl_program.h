#pragma once

#include <cstdint>

#include "host/gles2/gl2_api.h"

namespace TALLWICK_PP_RENDER {

// Creates a shader of `type` (stored in *shader before anything can fail)
// and compiles `source`. kErrorNone, or kErrorCompileShader with the info log
// written at level 5.
int32_t CompileShader(GLenum type, const char* source, GLuint* shader);

// Links `program`. kErrorNone, or kErrorLinkShader with the info log written
// at level 5.
int32_t LinkProgram(GLuint program);

// Attribute locations of both renderers' programs, fixed before linking.
constexpr GLuint kAttribPosition = 3;
constexpr GLuint kAttribTexCoord = 4;
constexpr GLuint kAttribTexCoordUV = 5;

// A linked program and the two shaders attached to it.
struct ShaderProgram {
  GLuint program = 0;
  GLuint vertexShader = 0;
  GLuint fragmentShader = 0;
};

// The renderers' program set-up: compile the vertex shader, then the
// fragment shader (a failure returns its code at once, so a failed vertex
// shader leaves the fragment shader uncompiled and no program), create the
// program, attach both, bind "a_position", "a_texCoord" and "a_texCoordUV" to
// their fixed locations and link. The program is not made current.
int32_t BuildShaderProgram(const char* vertexSource, const char* fragmentSource, ShaderProgram* out);

// Whether the current context accepts a 1 x 1 GL_RED texture upload. Reads
// the oldest pending GL error, so an error left by an earlier call also
// answers false.
bool IsGLRedSupported();

}  // namespace TALLWICK_PP_RENDER
