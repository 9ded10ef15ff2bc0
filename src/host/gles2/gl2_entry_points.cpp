#include <algorithm>

#include "host/gles2/gl2_api.h"
#include "host/gles2/gles2_binding.h"

namespace TALLWICK_GLES2 {

namespace {

// Calls one member of the browser's table with the current context. Before
// glInitializePPAPI succeeded every call is a no-op answering 0 / null, so a
// renderer without a context cannot crash the host.
template <typename Fn, typename... Args>
auto Call(Fn PPB_OpenGLES2::*member, Args... args) {
  const PPB_OpenGLES2* gl = GetGLES2Interfaces().core;
  using Result = decltype((gl->*member)(PP_Resource{}, args...));
  if (gl == nullptr) {
    return Result();
  }
  return (gl->*member)(glGetCurrentContextPPAPI(), args...);
}

}  // namespace

void glActiveTexture(GLenum texture) { Call(&PPB_OpenGLES2::ActiveTexture, texture); }

void glAttachShader(GLuint program, GLuint shader) { Call(&PPB_OpenGLES2::AttachShader, program, shader); }

void glBindAttribLocation(GLuint program, GLuint index, const char* name) {
  Call(&PPB_OpenGLES2::BindAttribLocation, program, index, name);
}

void glBindTexture(GLenum target, GLuint texture) { Call(&PPB_OpenGLES2::BindTexture, target, texture); }

void glClear(GLbitfield mask) { Call(&PPB_OpenGLES2::Clear, mask); }

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  Call(&PPB_OpenGLES2::ClearColor, red, green, blue, alpha);
}

void glCompileShader(GLuint shader) { Call(&PPB_OpenGLES2::CompileShader, shader); }

GLuint glCreateProgram() { return Call(&PPB_OpenGLES2::CreateProgram); }

GLuint glCreateShader(GLenum type) { return Call(&PPB_OpenGLES2::CreateShader, type); }

void glDeleteProgram(GLuint program) { Call(&PPB_OpenGLES2::DeleteProgram, program); }

void glDeleteShader(GLuint shader) { Call(&PPB_OpenGLES2::DeleteShader, shader); }

void glDeleteTextures(GLsizei n, const GLuint* textures) { Call(&PPB_OpenGLES2::DeleteTextures, n, textures); }

void glDisable(GLenum cap) { Call(&PPB_OpenGLES2::Disable, cap); }

void glDisableVertexAttribArray(GLuint index) { Call(&PPB_OpenGLES2::DisableVertexAttribArray, index); }

void glDrawArrays(GLenum mode, GLint first, GLsizei count) { Call(&PPB_OpenGLES2::DrawArrays, mode, first, count); }

void glEnable(GLenum cap) { Call(&PPB_OpenGLES2::Enable, cap); }

void glEnableVertexAttribArray(GLuint index) { Call(&PPB_OpenGLES2::EnableVertexAttribArray, index); }

void glFinish() { Call(&PPB_OpenGLES2::Finish); }

void glFlush() { Call(&PPB_OpenGLES2::Flush); }

void glGenTextures(GLsizei n, GLuint* textures) {
  if (GetGLES2Interfaces().core == nullptr) {
    // Nothing would write the names: hand out 0, the "no texture" name.
    std::fill(textures, textures + n, 0U);
    return;
  }
  Call(&PPB_OpenGLES2::GenTextures, n, textures);
}

GLenum glGetError() { return Call(&PPB_OpenGLES2::GetError); }

void glGetIntegerv(GLenum pname, GLint* params) { Call(&PPB_OpenGLES2::GetIntegerv, pname, params); }

void glGetProgramInfoLog(GLuint program, GLsizei bufsize, GLsizei* length, char* infolog) {
  Call(&PPB_OpenGLES2::GetProgramInfoLog, program, bufsize, length, infolog);
}

void glGetProgramiv(GLuint program, GLenum pname, GLint* params) {
  Call(&PPB_OpenGLES2::GetProgramiv, program, pname, params);
}

void glGetShaderInfoLog(GLuint shader, GLsizei bufsize, GLsizei* length, char* infolog) {
  Call(&PPB_OpenGLES2::GetShaderInfoLog, shader, bufsize, length, infolog);
}

void glGetShaderiv(GLuint shader, GLenum pname, GLint* params) {
  Call(&PPB_OpenGLES2::GetShaderiv, shader, pname, params);
}

const GLubyte* glGetString(GLenum name) { return Call(&PPB_OpenGLES2::GetString, name); }

GLint glGetUniformLocation(GLuint program, const char* name) {
  return Call(&PPB_OpenGLES2::GetUniformLocation, program, name);
}

void glLinkProgram(GLuint program) { Call(&PPB_OpenGLES2::LinkProgram, program); }

void glPixelStorei(GLenum pname, GLint param) { Call(&PPB_OpenGLES2::PixelStorei, pname, param); }

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels) {
  Call(&PPB_OpenGLES2::ReadPixels, x, y, width, height, format, type, pixels);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) { Call(&PPB_OpenGLES2::Scissor, x, y, width, height); }

void glShaderSource(GLuint shader, GLsizei count, const char** str, const GLint* length) {
  Call(&PPB_OpenGLES2::ShaderSource, shader, count, str, length);
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels) {
  Call(&PPB_OpenGLES2::TexImage2D, target, level, internalformat, width, height, border, format, type, pixels);
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  Call(&PPB_OpenGLES2::TexParameteri, target, pname, param);
}

void glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const void* pixels) {
  Call(&PPB_OpenGLES2::TexSubImage2D, target, level, xoffset, yoffset, width, height, format, type, pixels);
}

void glUniform1i(GLint location, GLint x) { Call(&PPB_OpenGLES2::Uniform1i, location, x); }

void glUniform4f(GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
  Call(&PPB_OpenGLES2::Uniform4f, location, x, y, z, w);
}

void glUseProgram(GLuint program) { Call(&PPB_OpenGLES2::UseProgram, program); }

void glVertexAttribPointer(GLuint indx, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                           const void* ptr) {
  Call(&PPB_OpenGLES2::VertexAttribPointer, indx, size, type, normalized, stride, ptr);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Call(&PPB_OpenGLES2::Viewport, x, y, width, height);
}

}  // namespace TALLWICK_GLES2
