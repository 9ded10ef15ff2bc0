// "PPB_OpenGLES2;1.0": every entry makes its context current and calls the
// real GL function. Framebuffer 0 is the context's drawing buffer; a lost or
// unknown context makes the call do nothing. The optional extension tables
// are not offered.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/instance_graphics.h"
#include "devhost/gl/gl_context.h"

namespace pphost {

namespace {

// GL_RED: a single-channel format that a strict OpenGL ES 2.0 host refuses.
constexpr GLenum kRed = 0x1903;
constexpr GLenum kReadFramebufferBinding = 0x8CAA;

GlContext* Use(PP_Resource context) { return CurrentGlContext(context); }

bool RefusedAsStrict(GlContext& context, GLenum internalFormat, GLenum format) {
  if (!context.StrictEs2() || (internalFormat != kRed && format != kRed)) return false;
  context.RaiseError(GL_INVALID_ENUM);
  return true;
}

// --- the entries the host takes part in ---------------------------------------

void BindFramebuffer(PP_Resource context, GLenum target, GLuint framebuffer) {
  GlContext* gl = Use(context);
  if (gl != nullptr) glBindFramebuffer(target, framebuffer != 0 ? framebuffer : gl->DefaultFramebuffer());
}

// Deleting the bound framebuffer falls back to framebuffer 0, which is ours.
void DeleteFramebuffers(PP_Resource context, GLsizei n, const GLuint* framebuffers) {
  GlContext* gl = Use(context);
  if (gl == nullptr) return;
  glDeleteFramebuffers(n, framebuffers);
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  if (bound == 0) glBindFramebuffer(GL_FRAMEBUFFER, gl->DefaultFramebuffer());
}

void GetIntegerv(PP_Resource context, GLenum pname, GLint* params) {
  GlContext* gl = Use(context);
  if (gl == nullptr) return;
  glGetIntegerv(pname, params);
  const bool framebufferBinding = pname == GL_FRAMEBUFFER_BINDING || pname == kReadFramebufferBinding;
  if (framebufferBinding && params != nullptr && static_cast<GLuint>(*params) == gl->DefaultFramebuffer()) {
    *params = 0;
  }
}

// The host's own error first (a strict refusal, a lost context), then GL's.
GLenum GetError(PP_Resource context) {
  GlContext* gl = FindGlContext(context);
  if (gl == nullptr) return GL_INVALID_OPERATION;
  const GLenum raised = gl->TakeError();
  if (raised != GL_NO_ERROR) return raised;
  return gl->MakeCurrent() ? glGetError() : GL_NO_ERROR;
}

void TexImage2D(PP_Resource context, GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,
                GLint border, GLenum format, GLenum type, const void* pixels) {
  GlContext* gl = Use(context);
  if (gl == nullptr || RefusedAsStrict(*gl, static_cast<GLenum>(internalformat), format)) return;
  glTexImage2D(target, level, internalformat, width, height, border, format, type, pixels);
}

void TexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                   GLsizei height, GLenum format, GLenum type, const void* pixels) {
  GlContext* gl = Use(context);
  if (gl == nullptr || RefusedAsStrict(*gl, format, format)) return;
  glTexSubImage2D(target, level, xoffset, yoffset, width, height, format, type, pixels);
}

// --- plain forwarding ----------------------------------------------------------

void ActiveTexture(PP_Resource context, GLenum texture) {
  if (Use(context) != nullptr) glActiveTexture(texture);
}

void AttachShader(PP_Resource context, GLuint program, GLuint shader) {
  if (Use(context) != nullptr) glAttachShader(program, shader);
}

void BindAttribLocation(PP_Resource context, GLuint program, GLuint index, const char* name) {
  if (Use(context) != nullptr) glBindAttribLocation(program, index, name);
}

void BindBuffer(PP_Resource context, GLenum target, GLuint buffer) {
  if (Use(context) != nullptr) glBindBuffer(target, buffer);
}

void BindRenderbuffer(PP_Resource context, GLenum target, GLuint renderbuffer) {
  if (Use(context) != nullptr) glBindRenderbuffer(target, renderbuffer);
}

void BindTexture(PP_Resource context, GLenum target, GLuint texture) {
  if (Use(context) != nullptr) glBindTexture(target, texture);
}

void BlendColor(PP_Resource context, GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  if (Use(context) != nullptr) glBlendColor(red, green, blue, alpha);
}

void BlendEquation(PP_Resource context, GLenum mode) {
  if (Use(context) != nullptr) glBlendEquation(mode);
}

void BlendEquationSeparate(PP_Resource context, GLenum modeRGB, GLenum modeAlpha) {
  if (Use(context) != nullptr) glBlendEquationSeparate(modeRGB, modeAlpha);
}

void BlendFunc(PP_Resource context, GLenum sfactor, GLenum dfactor) {
  if (Use(context) != nullptr) glBlendFunc(sfactor, dfactor);
}

void BlendFuncSeparate(PP_Resource context, GLenum srcRGB, GLenum dstRGB, GLenum srcAlpha, GLenum dstAlpha) {
  if (Use(context) != nullptr) glBlendFuncSeparate(srcRGB, dstRGB, srcAlpha, dstAlpha);
}

void BufferData(PP_Resource context, GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
  if (Use(context) != nullptr) glBufferData(target, size, data, usage);
}

void BufferSubData(PP_Resource context, GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
  if (Use(context) != nullptr) glBufferSubData(target, offset, size, data);
}

GLenum CheckFramebufferStatus(PP_Resource context, GLenum target) {
  return Use(context) != nullptr ? glCheckFramebufferStatus(target) : 0;
}

void Clear(PP_Resource context, GLbitfield mask) {
  if (Use(context) != nullptr) glClear(mask);
}

void ClearColor(PP_Resource context, GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  if (Use(context) != nullptr) glClearColor(red, green, blue, alpha);
}

void ClearDepthf(PP_Resource context, GLclampf depth) {
  if (Use(context) != nullptr) glClearDepthf(depth);
}

void ClearStencil(PP_Resource context, GLint s) {
  if (Use(context) != nullptr) glClearStencil(s);
}

void ColorMask(PP_Resource context, GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
  if (Use(context) != nullptr) glColorMask(red, green, blue, alpha);
}

void CompileShader(PP_Resource context, GLuint shader) {
  if (Use(context) != nullptr) glCompileShader(shader);
}

void CompressedTexImage2D(PP_Resource context, GLenum target, GLint level, GLenum internalformat, GLsizei width,
                          GLsizei height, GLint border, GLsizei imageSize, const void* data) {
  if (Use(context) != nullptr)
    glCompressedTexImage2D(target, level, internalformat, width, height, border, imageSize, data);
}

void CompressedTexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset,
                             GLsizei width, GLsizei height, GLenum format, GLsizei imageSize, const void* data) {
  if (Use(context) != nullptr)
    glCompressedTexSubImage2D(target, level, xoffset, yoffset, width, height, format, imageSize, data);
}

void CopyTexImage2D(PP_Resource context, GLenum target, GLint level, GLenum internalformat, GLint x, GLint y,
                    GLsizei width, GLsizei height, GLint border) {
  if (Use(context) != nullptr) glCopyTexImage2D(target, level, internalformat, x, y, width, height, border);
}

void CopyTexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                       GLsizei width, GLsizei height) {
  if (Use(context) != nullptr) glCopyTexSubImage2D(target, level, xoffset, yoffset, x, y, width, height);
}

GLuint CreateProgram(PP_Resource context) { return Use(context) != nullptr ? glCreateProgram() : 0; }

GLuint CreateShader(PP_Resource context, GLenum type) { return Use(context) != nullptr ? glCreateShader(type) : 0; }

void CullFace(PP_Resource context, GLenum mode) {
  if (Use(context) != nullptr) glCullFace(mode);
}

void DeleteBuffers(PP_Resource context, GLsizei n, const GLuint* buffers) {
  if (Use(context) != nullptr) glDeleteBuffers(n, buffers);
}

void DeleteProgram(PP_Resource context, GLuint program) {
  if (Use(context) != nullptr) glDeleteProgram(program);
}

void DeleteRenderbuffers(PP_Resource context, GLsizei n, const GLuint* renderbuffers) {
  if (Use(context) != nullptr) glDeleteRenderbuffers(n, renderbuffers);
}

void DeleteShader(PP_Resource context, GLuint shader) {
  if (Use(context) != nullptr) glDeleteShader(shader);
}

void DeleteTextures(PP_Resource context, GLsizei n, const GLuint* textures) {
  if (Use(context) != nullptr) glDeleteTextures(n, textures);
}

void DepthFunc(PP_Resource context, GLenum func) {
  if (Use(context) != nullptr) glDepthFunc(func);
}

void DepthMask(PP_Resource context, GLboolean flag) {
  if (Use(context) != nullptr) glDepthMask(flag);
}

void DepthRangef(PP_Resource context, GLclampf zNear, GLclampf zFar) {
  if (Use(context) != nullptr) glDepthRangef(zNear, zFar);
}

void DetachShader(PP_Resource context, GLuint program, GLuint shader) {
  if (Use(context) != nullptr) glDetachShader(program, shader);
}

void Disable(PP_Resource context, GLenum cap) {
  if (Use(context) != nullptr) glDisable(cap);
}

void DisableVertexAttribArray(PP_Resource context, GLuint index) {
  if (Use(context) != nullptr) glDisableVertexAttribArray(index);
}

void DrawArrays(PP_Resource context, GLenum mode, GLint first, GLsizei count) {
  if (Use(context) != nullptr) glDrawArrays(mode, first, count);
}

void DrawElements(PP_Resource context, GLenum mode, GLsizei count, GLenum type, const void* indices) {
  if (Use(context) != nullptr) glDrawElements(mode, count, type, indices);
}

void Enable(PP_Resource context, GLenum cap) {
  if (Use(context) != nullptr) glEnable(cap);
}

void EnableVertexAttribArray(PP_Resource context, GLuint index) {
  if (Use(context) != nullptr) glEnableVertexAttribArray(index);
}

void Finish(PP_Resource context) {
  if (Use(context) != nullptr) glFinish();
}

void Flush(PP_Resource context) {
  if (Use(context) != nullptr) glFlush();
}

void FramebufferRenderbuffer(PP_Resource context, GLenum target, GLenum attachment, GLenum renderbuffertarget,
                             GLuint renderbuffer) {
  if (Use(context) != nullptr) glFramebufferRenderbuffer(target, attachment, renderbuffertarget, renderbuffer);
}

void FramebufferTexture2D(PP_Resource context, GLenum target, GLenum attachment, GLenum textarget, GLuint texture,
                          GLint level) {
  if (Use(context) != nullptr) glFramebufferTexture2D(target, attachment, textarget, texture, level);
}

void FrontFace(PP_Resource context, GLenum mode) {
  if (Use(context) != nullptr) glFrontFace(mode);
}

void GenBuffers(PP_Resource context, GLsizei n, GLuint* buffers) {
  if (Use(context) != nullptr) glGenBuffers(n, buffers);
}

void GenerateMipmap(PP_Resource context, GLenum target) {
  if (Use(context) != nullptr) glGenerateMipmap(target);
}

void GenFramebuffers(PP_Resource context, GLsizei n, GLuint* framebuffers) {
  if (Use(context) != nullptr) glGenFramebuffers(n, framebuffers);
}

void GenRenderbuffers(PP_Resource context, GLsizei n, GLuint* renderbuffers) {
  if (Use(context) != nullptr) glGenRenderbuffers(n, renderbuffers);
}

void GenTextures(PP_Resource context, GLsizei n, GLuint* textures) {
  if (Use(context) != nullptr) glGenTextures(n, textures);
}

void GetActiveAttrib(PP_Resource context, GLuint program, GLuint index, GLsizei bufsize, GLsizei* length, GLint* size,
                     GLenum* type, char* name) {
  if (Use(context) != nullptr) glGetActiveAttrib(program, index, bufsize, length, size, type, name);
}

void GetActiveUniform(PP_Resource context, GLuint program, GLuint index, GLsizei bufsize, GLsizei* length, GLint* size,
                      GLenum* type, char* name) {
  if (Use(context) != nullptr) glGetActiveUniform(program, index, bufsize, length, size, type, name);
}

void GetAttachedShaders(PP_Resource context, GLuint program, GLsizei maxcount, GLsizei* count, GLuint* shaders) {
  if (Use(context) != nullptr) glGetAttachedShaders(program, maxcount, count, shaders);
}

GLint GetAttribLocation(PP_Resource context, GLuint program, const char* name) {
  return Use(context) != nullptr ? glGetAttribLocation(program, name) : -1;
}

void GetBooleanv(PP_Resource context, GLenum pname, GLboolean* params) {
  if (Use(context) != nullptr) glGetBooleanv(pname, params);
}

void GetBufferParameteriv(PP_Resource context, GLenum target, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetBufferParameteriv(target, pname, params);
}

void GetFloatv(PP_Resource context, GLenum pname, GLfloat* params) {
  if (Use(context) != nullptr) glGetFloatv(pname, params);
}

void GetFramebufferAttachmentParameteriv(PP_Resource context, GLenum target, GLenum attachment, GLenum pname,
                                         GLint* params) {
  if (Use(context) != nullptr) glGetFramebufferAttachmentParameteriv(target, attachment, pname, params);
}

void GetProgramiv(PP_Resource context, GLuint program, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetProgramiv(program, pname, params);
}

void GetProgramInfoLog(PP_Resource context, GLuint program, GLsizei bufsize, GLsizei* length, char* infolog) {
  if (Use(context) != nullptr) glGetProgramInfoLog(program, bufsize, length, infolog);
}

void GetRenderbufferParameteriv(PP_Resource context, GLenum target, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetRenderbufferParameteriv(target, pname, params);
}

void GetShaderiv(PP_Resource context, GLuint shader, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetShaderiv(shader, pname, params);
}

void GetShaderInfoLog(PP_Resource context, GLuint shader, GLsizei bufsize, GLsizei* length, char* infolog) {
  if (Use(context) != nullptr) glGetShaderInfoLog(shader, bufsize, length, infolog);
}

void GetShaderPrecisionFormat(PP_Resource context, GLenum shadertype, GLenum precisiontype, GLint* range,
                              GLint* precision) {
  if (Use(context) != nullptr) glGetShaderPrecisionFormat(shadertype, precisiontype, range, precision);
}

void GetShaderSource(PP_Resource context, GLuint shader, GLsizei bufsize, GLsizei* length, char* source) {
  if (Use(context) != nullptr) glGetShaderSource(shader, bufsize, length, source);
}

const GLubyte* GetString(PP_Resource context, GLenum name) {
  return Use(context) != nullptr ? glGetString(name) : nullptr;
}

void GetTexParameterfv(PP_Resource context, GLenum target, GLenum pname, GLfloat* params) {
  if (Use(context) != nullptr) glGetTexParameterfv(target, pname, params);
}

void GetTexParameteriv(PP_Resource context, GLenum target, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetTexParameteriv(target, pname, params);
}

void GetUniformfv(PP_Resource context, GLuint program, GLint location, GLfloat* params) {
  if (Use(context) != nullptr) glGetUniformfv(program, location, params);
}

void GetUniformiv(PP_Resource context, GLuint program, GLint location, GLint* params) {
  if (Use(context) != nullptr) glGetUniformiv(program, location, params);
}

GLint GetUniformLocation(PP_Resource context, GLuint program, const char* name) {
  return Use(context) != nullptr ? glGetUniformLocation(program, name) : -1;
}

void GetVertexAttribfv(PP_Resource context, GLuint index, GLenum pname, GLfloat* params) {
  if (Use(context) != nullptr) glGetVertexAttribfv(index, pname, params);
}

void GetVertexAttribiv(PP_Resource context, GLuint index, GLenum pname, GLint* params) {
  if (Use(context) != nullptr) glGetVertexAttribiv(index, pname, params);
}

void GetVertexAttribPointerv(PP_Resource context, GLuint index, GLenum pname, void** pointer) {
  if (Use(context) != nullptr) glGetVertexAttribPointerv(index, pname, pointer);
}

void Hint(PP_Resource context, GLenum target, GLenum mode) {
  if (Use(context) != nullptr) glHint(target, mode);
}

GLboolean IsBuffer(PP_Resource context, GLuint buffer) {
  return Use(context) != nullptr ? glIsBuffer(buffer) : GL_FALSE;
}

GLboolean IsEnabled(PP_Resource context, GLenum cap) { return Use(context) != nullptr ? glIsEnabled(cap) : GL_FALSE; }

GLboolean IsFramebuffer(PP_Resource context, GLuint framebuffer) {
  return Use(context) != nullptr ? glIsFramebuffer(framebuffer) : GL_FALSE;
}

GLboolean IsProgram(PP_Resource context, GLuint program) {
  return Use(context) != nullptr ? glIsProgram(program) : GL_FALSE;
}

GLboolean IsRenderbuffer(PP_Resource context, GLuint renderbuffer) {
  return Use(context) != nullptr ? glIsRenderbuffer(renderbuffer) : GL_FALSE;
}

GLboolean IsShader(PP_Resource context, GLuint shader) {
  return Use(context) != nullptr ? glIsShader(shader) : GL_FALSE;
}

GLboolean IsTexture(PP_Resource context, GLuint texture) {
  return Use(context) != nullptr ? glIsTexture(texture) : GL_FALSE;
}

void LineWidth(PP_Resource context, GLfloat width) {
  if (Use(context) != nullptr) glLineWidth(width);
}

void LinkProgram(PP_Resource context, GLuint program) {
  if (Use(context) != nullptr) glLinkProgram(program);
}

void PixelStorei(PP_Resource context, GLenum pname, GLint param) {
  if (Use(context) != nullptr) glPixelStorei(pname, param);
}

void PolygonOffset(PP_Resource context, GLfloat factor, GLfloat units) {
  if (Use(context) != nullptr) glPolygonOffset(factor, units);
}

void ReadPixels(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                void* pixels) {
  if (Use(context) != nullptr) glReadPixels(x, y, width, height, format, type, pixels);
}

void ReleaseShaderCompiler(PP_Resource context) {
  if (Use(context) != nullptr) glReleaseShaderCompiler();
}

void RenderbufferStorage(PP_Resource context, GLenum target, GLenum internalformat, GLsizei width, GLsizei height) {
  if (Use(context) != nullptr) glRenderbufferStorage(target, internalformat, width, height);
}

void SampleCoverage(PP_Resource context, GLclampf value, GLboolean invert) {
  if (Use(context) != nullptr) glSampleCoverage(value, invert);
}

void Scissor(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height) {
  if (Use(context) != nullptr) glScissor(x, y, width, height);
}

void ShaderBinary(PP_Resource context, GLsizei n, const GLuint* shaders, GLenum binaryformat, const void* binary,
                  GLsizei length) {
  if (Use(context) != nullptr) glShaderBinary(n, shaders, binaryformat, binary, length);
}

void ShaderSource(PP_Resource context, GLuint shader, GLsizei count, const char** str, const GLint* length) {
  if (Use(context) != nullptr) glShaderSource(shader, count, str, length);
}

void StencilFunc(PP_Resource context, GLenum func, GLint ref, GLuint mask) {
  if (Use(context) != nullptr) glStencilFunc(func, ref, mask);
}

void StencilFuncSeparate(PP_Resource context, GLenum face, GLenum func, GLint ref, GLuint mask) {
  if (Use(context) != nullptr) glStencilFuncSeparate(face, func, ref, mask);
}

void StencilMask(PP_Resource context, GLuint mask) {
  if (Use(context) != nullptr) glStencilMask(mask);
}

void StencilMaskSeparate(PP_Resource context, GLenum face, GLuint mask) {
  if (Use(context) != nullptr) glStencilMaskSeparate(face, mask);
}

void StencilOp(PP_Resource context, GLenum fail, GLenum zfail, GLenum zpass) {
  if (Use(context) != nullptr) glStencilOp(fail, zfail, zpass);
}

void StencilOpSeparate(PP_Resource context, GLenum face, GLenum fail, GLenum zfail, GLenum zpass) {
  if (Use(context) != nullptr) glStencilOpSeparate(face, fail, zfail, zpass);
}

void TexParameterf(PP_Resource context, GLenum target, GLenum pname, GLfloat param) {
  if (Use(context) != nullptr) glTexParameterf(target, pname, param);
}

void TexParameterfv(PP_Resource context, GLenum target, GLenum pname, const GLfloat* params) {
  if (Use(context) != nullptr) glTexParameterfv(target, pname, params);
}

void TexParameteri(PP_Resource context, GLenum target, GLenum pname, GLint param) {
  if (Use(context) != nullptr) glTexParameteri(target, pname, param);
}

void TexParameteriv(PP_Resource context, GLenum target, GLenum pname, const GLint* params) {
  if (Use(context) != nullptr) glTexParameteriv(target, pname, params);
}

void Uniform1f(PP_Resource context, GLint location, GLfloat x) {
  if (Use(context) != nullptr) glUniform1f(location, x);
}

void Uniform1fv(PP_Resource context, GLint location, GLsizei count, const GLfloat* v) {
  if (Use(context) != nullptr) glUniform1fv(location, count, v);
}

void Uniform1i(PP_Resource context, GLint location, GLint x) {
  if (Use(context) != nullptr) glUniform1i(location, x);
}

void Uniform1iv(PP_Resource context, GLint location, GLsizei count, const GLint* v) {
  if (Use(context) != nullptr) glUniform1iv(location, count, v);
}

void Uniform2f(PP_Resource context, GLint location, GLfloat x, GLfloat y) {
  if (Use(context) != nullptr) glUniform2f(location, x, y);
}

void Uniform2fv(PP_Resource context, GLint location, GLsizei count, const GLfloat* v) {
  if (Use(context) != nullptr) glUniform2fv(location, count, v);
}

void Uniform2i(PP_Resource context, GLint location, GLint x, GLint y) {
  if (Use(context) != nullptr) glUniform2i(location, x, y);
}

void Uniform2iv(PP_Resource context, GLint location, GLsizei count, const GLint* v) {
  if (Use(context) != nullptr) glUniform2iv(location, count, v);
}

void Uniform3f(PP_Resource context, GLint location, GLfloat x, GLfloat y, GLfloat z) {
  if (Use(context) != nullptr) glUniform3f(location, x, y, z);
}

void Uniform3fv(PP_Resource context, GLint location, GLsizei count, const GLfloat* v) {
  if (Use(context) != nullptr) glUniform3fv(location, count, v);
}

void Uniform3i(PP_Resource context, GLint location, GLint x, GLint y, GLint z) {
  if (Use(context) != nullptr) glUniform3i(location, x, y, z);
}

void Uniform3iv(PP_Resource context, GLint location, GLsizei count, const GLint* v) {
  if (Use(context) != nullptr) glUniform3iv(location, count, v);
}

void Uniform4f(PP_Resource context, GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
  if (Use(context) != nullptr) glUniform4f(location, x, y, z, w);
}

void Uniform4fv(PP_Resource context, GLint location, GLsizei count, const GLfloat* v) {
  if (Use(context) != nullptr) glUniform4fv(location, count, v);
}

void Uniform4i(PP_Resource context, GLint location, GLint x, GLint y, GLint z, GLint w) {
  if (Use(context) != nullptr) glUniform4i(location, x, y, z, w);
}

void Uniform4iv(PP_Resource context, GLint location, GLsizei count, const GLint* v) {
  if (Use(context) != nullptr) glUniform4iv(location, count, v);
}

void UniformMatrix2fv(PP_Resource context, GLint location, GLsizei count, GLboolean transpose, const GLfloat* value) {
  if (Use(context) != nullptr) glUniformMatrix2fv(location, count, transpose, value);
}

void UniformMatrix3fv(PP_Resource context, GLint location, GLsizei count, GLboolean transpose, const GLfloat* value) {
  if (Use(context) != nullptr) glUniformMatrix3fv(location, count, transpose, value);
}

void UniformMatrix4fv(PP_Resource context, GLint location, GLsizei count, GLboolean transpose, const GLfloat* value) {
  if (Use(context) != nullptr) glUniformMatrix4fv(location, count, transpose, value);
}

void UseProgram(PP_Resource context, GLuint program) {
  if (Use(context) != nullptr) glUseProgram(program);
}

void ValidateProgram(PP_Resource context, GLuint program) {
  if (Use(context) != nullptr) glValidateProgram(program);
}

void VertexAttrib1f(PP_Resource context, GLuint indx, GLfloat x) {
  if (Use(context) != nullptr) glVertexAttrib1f(indx, x);
}

void VertexAttrib1fv(PP_Resource context, GLuint indx, const GLfloat* values) {
  if (Use(context) != nullptr) glVertexAttrib1fv(indx, values);
}

void VertexAttrib2f(PP_Resource context, GLuint indx, GLfloat x, GLfloat y) {
  if (Use(context) != nullptr) glVertexAttrib2f(indx, x, y);
}

void VertexAttrib2fv(PP_Resource context, GLuint indx, const GLfloat* values) {
  if (Use(context) != nullptr) glVertexAttrib2fv(indx, values);
}

void VertexAttrib3f(PP_Resource context, GLuint indx, GLfloat x, GLfloat y, GLfloat z) {
  if (Use(context) != nullptr) glVertexAttrib3f(indx, x, y, z);
}

void VertexAttrib3fv(PP_Resource context, GLuint indx, const GLfloat* values) {
  if (Use(context) != nullptr) glVertexAttrib3fv(indx, values);
}

void VertexAttrib4f(PP_Resource context, GLuint indx, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
  if (Use(context) != nullptr) glVertexAttrib4f(indx, x, y, z, w);
}

void VertexAttrib4fv(PP_Resource context, GLuint indx, const GLfloat* values) {
  if (Use(context) != nullptr) glVertexAttrib4fv(indx, values);
}

void VertexAttribPointer(PP_Resource context, GLuint indx, GLint size, GLenum type, GLboolean normalized,
                         GLsizei stride, const void* ptr) {
  if (Use(context) != nullptr) glVertexAttribPointer(indx, size, type, normalized, stride, ptr);
}

void Viewport(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height) {
  if (Use(context) != nullptr) glViewport(x, y, width, height);
}

// In the member order of the interface.
constexpr PPB_OpenGLES2_1_0 kOpenGLES2 = {&ActiveTexture,
                                          &AttachShader,
                                          &BindAttribLocation,
                                          &BindBuffer,
                                          &BindFramebuffer,
                                          &BindRenderbuffer,
                                          &BindTexture,
                                          &BlendColor,
                                          &BlendEquation,
                                          &BlendEquationSeparate,
                                          &BlendFunc,
                                          &BlendFuncSeparate,
                                          &BufferData,
                                          &BufferSubData,
                                          &CheckFramebufferStatus,
                                          &Clear,
                                          &ClearColor,
                                          &ClearDepthf,
                                          &ClearStencil,
                                          &ColorMask,
                                          &CompileShader,
                                          &CompressedTexImage2D,
                                          &CompressedTexSubImage2D,
                                          &CopyTexImage2D,
                                          &CopyTexSubImage2D,
                                          &CreateProgram,
                                          &CreateShader,
                                          &CullFace,
                                          &DeleteBuffers,
                                          &DeleteFramebuffers,
                                          &DeleteProgram,
                                          &DeleteRenderbuffers,
                                          &DeleteShader,
                                          &DeleteTextures,
                                          &DepthFunc,
                                          &DepthMask,
                                          &DepthRangef,
                                          &DetachShader,
                                          &Disable,
                                          &DisableVertexAttribArray,
                                          &DrawArrays,
                                          &DrawElements,
                                          &Enable,
                                          &EnableVertexAttribArray,
                                          &Finish,
                                          &Flush,
                                          &FramebufferRenderbuffer,
                                          &FramebufferTexture2D,
                                          &FrontFace,
                                          &GenBuffers,
                                          &GenerateMipmap,
                                          &GenFramebuffers,
                                          &GenRenderbuffers,
                                          &GenTextures,
                                          &GetActiveAttrib,
                                          &GetActiveUniform,
                                          &GetAttachedShaders,
                                          &GetAttribLocation,
                                          &GetBooleanv,
                                          &GetBufferParameteriv,
                                          &GetError,
                                          &GetFloatv,
                                          &GetFramebufferAttachmentParameteriv,
                                          &GetIntegerv,
                                          &GetProgramiv,
                                          &GetProgramInfoLog,
                                          &GetRenderbufferParameteriv,
                                          &GetShaderiv,
                                          &GetShaderInfoLog,
                                          &GetShaderPrecisionFormat,
                                          &GetShaderSource,
                                          &GetString,
                                          &GetTexParameterfv,
                                          &GetTexParameteriv,
                                          &GetUniformfv,
                                          &GetUniformiv,
                                          &GetUniformLocation,
                                          &GetVertexAttribfv,
                                          &GetVertexAttribiv,
                                          &GetVertexAttribPointerv,
                                          &Hint,
                                          &IsBuffer,
                                          &IsEnabled,
                                          &IsFramebuffer,
                                          &IsProgram,
                                          &IsRenderbuffer,
                                          &IsShader,
                                          &IsTexture,
                                          &LineWidth,
                                          &LinkProgram,
                                          &PixelStorei,
                                          &PolygonOffset,
                                          &ReadPixels,
                                          &ReleaseShaderCompiler,
                                          &RenderbufferStorage,
                                          &SampleCoverage,
                                          &Scissor,
                                          &ShaderBinary,
                                          &ShaderSource,
                                          &StencilFunc,
                                          &StencilFuncSeparate,
                                          &StencilMask,
                                          &StencilMaskSeparate,
                                          &StencilOp,
                                          &StencilOpSeparate,
                                          &TexImage2D,
                                          &TexParameterf,
                                          &TexParameterfv,
                                          &TexParameteri,
                                          &TexParameteriv,
                                          &TexSubImage2D,
                                          &Uniform1f,
                                          &Uniform1fv,
                                          &Uniform1i,
                                          &Uniform1iv,
                                          &Uniform2f,
                                          &Uniform2fv,
                                          &Uniform2i,
                                          &Uniform2iv,
                                          &Uniform3f,
                                          &Uniform3fv,
                                          &Uniform3i,
                                          &Uniform3iv,
                                          &Uniform4f,
                                          &Uniform4fv,
                                          &Uniform4i,
                                          &Uniform4iv,
                                          &UniformMatrix2fv,
                                          &UniformMatrix3fv,
                                          &UniformMatrix4fv,
                                          &UseProgram,
                                          &ValidateProgram,
                                          &VertexAttrib1f,
                                          &VertexAttrib1fv,
                                          &VertexAttrib2f,
                                          &VertexAttrib2fv,
                                          &VertexAttrib3f,
                                          &VertexAttrib3fv,
                                          &VertexAttrib4f,
                                          &VertexAttrib4fv,
                                          &VertexAttribPointer,
                                          &Viewport};

}  // namespace

const PPB_OpenGLES2_1_0* OpenGLES2Interface() { return &kOpenGLES2; }

}  // namespace pphost
