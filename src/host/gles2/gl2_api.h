#pragma once

// The module's OpenGL ES 2.0 entry points. They forward to the browser's
// "PPB_OpenGLES2;1.0" table with the current context (gles2_binding.h).
//
// The functions live in a C++ namespace and have hidden visibility, so they
// can neither bind to nor be bound by a GL library that the host process has
// loaded (a host built on EGL/GLES declares the same C names). The GL scalar
// types come from the Pepper declarations; the enum values below are the
// standard OpenGL ES 2.0 numbers, defined only where no other header (such as
// Khronos' gl2.h in a host) has defined them already.

#include "host/ppapi/ppb_opengles2.h"

// A DLL exports only what it marks, so Windows needs no attribute.
#if defined(_WIN32)
#define TWGL_HIDDEN
#elif defined(__GNUC__) || defined(__clang__)
#define TWGL_HIDDEN __attribute__((visibility("hidden")))
#else
#define TWGL_HIDDEN
#endif

// clang-format off
#ifndef GL_NO_ERROR
#define GL_NO_ERROR 0
#define GL_FALSE 0
#define GL_TRUE 1
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502
#define GL_OUT_OF_MEMORY 0x0505
#define GL_BLEND 0x0BE2
#define GL_SCISSOR_TEST 0x0C11
#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_MAX_TEXTURE_SIZE 0x0D33
#define GL_TEXTURE_2D 0x0DE1
#define GL_UNSIGNED_BYTE 0x1401
#define GL_FLOAT 0x1406
#define GL_ALPHA 0x1906
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_LUMINANCE 0x1909
#define GL_LUMINANCE_ALPHA 0x190A
#define GL_VENDOR 0x1F00
#define GL_RENDERER 0x1F01
#define GL_VERSION 0x1F02
#define GL_EXTENSIONS 0x1F03
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_CLAMP_TO_EDGE 0x812F
#define GL_TEXTURE0 0x84C0
#define GL_TEXTURE1 0x84C1
#define GL_TEXTURE2 0x84C2
#define GL_FRAGMENT_SHADER 0x8B30
#define GL_VERTEX_SHADER 0x8B31
#define GL_COMPILE_STATUS 0x8B81
#define GL_LINK_STATUS 0x8B82
#define GL_INFO_LOG_LENGTH 0x8B84
#define GL_SHADING_LANGUAGE_VERSION 0x8B8C
#endif
// Not in OpenGL ES 2.0 itself (EXT_texture_rg / ES 3.0); hosts may accept it.
#ifndef GL_RED
#define GL_RED 0x1903
#endif
// clang-format on

namespace TALLWICK_GLES2 {

TWGL_HIDDEN void glActiveTexture(GLenum texture);
TWGL_HIDDEN void glAttachShader(GLuint program, GLuint shader);
TWGL_HIDDEN void glBindAttribLocation(GLuint program, GLuint index, const char* name);
TWGL_HIDDEN void glBindTexture(GLenum target, GLuint texture);
TWGL_HIDDEN void glClear(GLbitfield mask);
TWGL_HIDDEN void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
TWGL_HIDDEN void glCompileShader(GLuint shader);
TWGL_HIDDEN GLuint glCreateProgram();
TWGL_HIDDEN GLuint glCreateShader(GLenum type);
TWGL_HIDDEN void glDeleteProgram(GLuint program);
TWGL_HIDDEN void glDeleteShader(GLuint shader);
TWGL_HIDDEN void glDeleteTextures(GLsizei n, const GLuint* textures);
TWGL_HIDDEN void glDisable(GLenum cap);
TWGL_HIDDEN void glDisableVertexAttribArray(GLuint index);
TWGL_HIDDEN void glDrawArrays(GLenum mode, GLint first, GLsizei count);
TWGL_HIDDEN void glEnable(GLenum cap);
TWGL_HIDDEN void glEnableVertexAttribArray(GLuint index);
TWGL_HIDDEN void glFinish();
TWGL_HIDDEN void glFlush();
TWGL_HIDDEN void glGenTextures(GLsizei n, GLuint* textures);
TWGL_HIDDEN GLenum glGetError();
TWGL_HIDDEN void glGetIntegerv(GLenum pname, GLint* params);
TWGL_HIDDEN void glGetProgramInfoLog(GLuint program, GLsizei bufsize, GLsizei* length, char* infolog);
TWGL_HIDDEN void glGetProgramiv(GLuint program, GLenum pname, GLint* params);
TWGL_HIDDEN void glGetShaderInfoLog(GLuint shader, GLsizei bufsize, GLsizei* length, char* infolog);
TWGL_HIDDEN void glGetShaderiv(GLuint shader, GLenum pname, GLint* params);
TWGL_HIDDEN const GLubyte* glGetString(GLenum name);
TWGL_HIDDEN GLint glGetUniformLocation(GLuint program, const char* name);
TWGL_HIDDEN void glLinkProgram(GLuint program);
TWGL_HIDDEN void glPixelStorei(GLenum pname, GLint param);
TWGL_HIDDEN void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                              void* pixels);
TWGL_HIDDEN void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
TWGL_HIDDEN void glShaderSource(GLuint shader, GLsizei count, const char** str, const GLint* length);
TWGL_HIDDEN void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,
                              GLint border, GLenum format, GLenum type, const void* pixels);
TWGL_HIDDEN void glTexParameteri(GLenum target, GLenum pname, GLint param);
TWGL_HIDDEN void glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                                 GLsizei height, GLenum format, GLenum type, const void* pixels);
TWGL_HIDDEN void glUniform1i(GLint location, GLint x);
TWGL_HIDDEN void glUniform4f(GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w);
TWGL_HIDDEN void glUseProgram(GLuint program);
TWGL_HIDDEN void glVertexAttribPointer(GLuint indx, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                                       const void* ptr);
TWGL_HIDDEN void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);

}  // namespace TALLWICK_GLES2
