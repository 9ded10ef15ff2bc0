// "PPB_OpenGLES2;1.0": every entry makes its context current and calls the
// real GL function. Framebuffer 0 is the context's drawing buffer; a lost or
// unknown context makes the call do nothing. The optional extension tables
// are not offered.
//
// How the table is made: `kOpenGLES2` lists one entry a member, in the
// declaration's order. GL(Foo) is the member Foo forwarded by a template
// (gles2_forwarding.h) to glFoo with the same arguments; a lost or unknown
// context does nothing and answers 0, GL_FALSE, null, or -1 for a location.
// OWN(Foo) is the function Foo below, for the few members the host takes
// part in. What the compiler checks: there are as many entries as members;
// each entry's function has its member's type; glFoo has the member's
// result and parameters (a pointer may gain const on its way to GL); and
// each entry stands at its own member's place, so a missing, extra or
// swapped entry does not build.
#include <functional>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/gles2_forwarding.h"
#include "devhost/browser/instance_graphics.h"
#include "devhost/gl/es_shader_text.h"
#include "devhost/gl/gl_api.h"
#include "devhost/gl/gl_context.h"

namespace pphost {

GlContext* CurrentGlContext(PP_Resource context) { return dynamic_cast<GlContext*>(CurrentContext3D(context)); }

namespace {

// GL_RED: a single-channel format that a strict OpenGL ES 2.0 host refuses.
constexpr GLenum kRed = 0x1903;
constexpr GLenum kReadFramebufferBinding = 0x8CAA;

GlContext* Use(PP_Resource context) { return CurrentGlContext(context); }

bool RefusedAsStrict(GlContext& context, GLenum internalFormat, GLenum format) {
  if (!context.StrictEs2() || (internalFormat != kRed && format != kRed)) return false;
  context.RaiseError(kGlInvalidEnum);
  return true;
}

// The entries the host takes part in.

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
  auto* gl = dynamic_cast<GlContext*>(FindContext3D(context));
  if (gl == nullptr) return GL_INVALID_OPERATION;
  const GLenum raised = gl->TakeError();
  if (raised != GL_NO_ERROR) return raised;
  return gl->MakeCurrent() ? glGetError() : GL_NO_ERROR;
}

// On a desktop OpenGL context the module's OpenGL ES 2.0 shader texts get a
// "#version 100" line (es_shader_text.h). GetShaderSource then answers with
// it, and a compile log counts it as the text's first line.
void ShaderSource(PP_Resource context, GLuint shader, GLsizei count, const char** strings, const GLint* lengths) {
  GlContext* gl = Use(context);
  if (gl == nullptr) return;
  if (!gl->DesktopGl()) {
    glShaderSource(shader, count, strings, lengths);
    return;
  }
  const DesktopShaderSource source = ForDesktopGl(count, strings, lengths);
  glShaderSource(shader, source.Count(), source.strings.data(), source.Lengths());
}

void TexImage2D(PP_Resource context, GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,
                GLint border, GLenum format, GLenum type, const void* pixels) {
  GlContext* gl = Use(context);
  if (gl == nullptr || RefusedAsStrict(*gl, static_cast<GLenum>(internalformat), format)) return;
  RunUploadHook();
  glTexImage2D(target, level, internalformat, width, height, border, format, type, pixels);
}

void TexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                   GLsizei height, GLenum format, GLenum type, const void* pixels) {
  GlContext* gl = Use(context);
  if (gl == nullptr || RefusedAsStrict(*gl, format, format)) return;
  glTexSubImage2D(target, level, xoffset, yoffset, width, height, format, type, pixels);
}

// The member and the GL function of the same name; the host's own function.
#define GL(Name) gles2::Gl<&PPB_OpenGLES2_1_0::Name, &gl##Name>
#define OWN(Name) gles2::Own<&PPB_OpenGLES2_1_0::Name, Name>

// clang-format off
constexpr PPB_OpenGLES2_1_0 kOpenGLES2 = gles2::TableOf<
    GL(ActiveTexture),
    GL(AttachShader),
    GL(BindAttribLocation),
    GL(BindBuffer),
    OWN(BindFramebuffer),
    GL(BindRenderbuffer),
    GL(BindTexture),
    GL(BlendColor),
    GL(BlendEquation),
    GL(BlendEquationSeparate),
    GL(BlendFunc),
    GL(BlendFuncSeparate),
    GL(BufferData),
    GL(BufferSubData),
    GL(CheckFramebufferStatus),
    GL(Clear),
    GL(ClearColor),
    GL(ClearDepthf),
    GL(ClearStencil),
    GL(ColorMask),
    GL(CompileShader),
    GL(CompressedTexImage2D),
    GL(CompressedTexSubImage2D),
    GL(CopyTexImage2D),
    GL(CopyTexSubImage2D),
    GL(CreateProgram),
    GL(CreateShader),
    GL(CullFace),
    GL(DeleteBuffers),
    OWN(DeleteFramebuffers),
    GL(DeleteProgram),
    GL(DeleteRenderbuffers),
    GL(DeleteShader),
    GL(DeleteTextures),
    GL(DepthFunc),
    GL(DepthMask),
    GL(DepthRangef),
    GL(DetachShader),
    GL(Disable),
    GL(DisableVertexAttribArray),
    GL(DrawArrays),
    GL(DrawElements),
    GL(Enable),
    GL(EnableVertexAttribArray),
    GL(Finish),
    GL(Flush),
    GL(FramebufferRenderbuffer),
    GL(FramebufferTexture2D),
    GL(FrontFace),
    GL(GenBuffers),
    GL(GenerateMipmap),
    GL(GenFramebuffers),
    GL(GenRenderbuffers),
    GL(GenTextures),
    GL(GetActiveAttrib),
    GL(GetActiveUniform),
    GL(GetAttachedShaders),
    GL(GetAttribLocation),
    GL(GetBooleanv),
    GL(GetBufferParameteriv),
    OWN(GetError),
    GL(GetFloatv),
    GL(GetFramebufferAttachmentParameteriv),
    OWN(GetIntegerv),
    GL(GetProgramiv),
    GL(GetProgramInfoLog),
    GL(GetRenderbufferParameteriv),
    GL(GetShaderiv),
    GL(GetShaderInfoLog),
    GL(GetShaderPrecisionFormat),
    GL(GetShaderSource),
    GL(GetString),
    GL(GetTexParameterfv),
    GL(GetTexParameteriv),
    GL(GetUniformfv),
    GL(GetUniformiv),
    GL(GetUniformLocation),
    GL(GetVertexAttribfv),
    GL(GetVertexAttribiv),
    GL(GetVertexAttribPointerv),
    GL(Hint),
    GL(IsBuffer),
    GL(IsEnabled),
    GL(IsFramebuffer),
    GL(IsProgram),
    GL(IsRenderbuffer),
    GL(IsShader),
    GL(IsTexture),
    GL(LineWidth),
    GL(LinkProgram),
    GL(PixelStorei),
    GL(PolygonOffset),
    GL(ReadPixels),
    GL(ReleaseShaderCompiler),
    GL(RenderbufferStorage),
    GL(SampleCoverage),
    GL(Scissor),
    GL(ShaderBinary),
    OWN(ShaderSource),
    GL(StencilFunc),
    GL(StencilFuncSeparate),
    GL(StencilMask),
    GL(StencilMaskSeparate),
    GL(StencilOp),
    GL(StencilOpSeparate),
    OWN(TexImage2D),
    GL(TexParameterf),
    GL(TexParameterfv),
    GL(TexParameteri),
    GL(TexParameteriv),
    OWN(TexSubImage2D),
    GL(Uniform1f),
    GL(Uniform1fv),
    GL(Uniform1i),
    GL(Uniform1iv),
    GL(Uniform2f),
    GL(Uniform2fv),
    GL(Uniform2i),
    GL(Uniform2iv),
    GL(Uniform3f),
    GL(Uniform3fv),
    GL(Uniform3i),
    GL(Uniform3iv),
    GL(Uniform4f),
    GL(Uniform4fv),
    GL(Uniform4i),
    GL(Uniform4iv),
    GL(UniformMatrix2fv),
    GL(UniformMatrix3fv),
    GL(UniformMatrix4fv),
    GL(UseProgram),
    GL(ValidateProgram),
    GL(VertexAttrib1f),
    GL(VertexAttrib1fv),
    GL(VertexAttrib2f),
    GL(VertexAttrib2fv),
    GL(VertexAttrib3f),
    GL(VertexAttrib3fv),
    GL(VertexAttrib4f),
    GL(VertexAttrib4fv),
    GL(VertexAttribPointer),
    GL(Viewport)>();
// clang-format on

#undef GL
#undef OWN

}  // namespace

const PPB_OpenGLES2_1_0* OpenGLES2Interface() { return &kOpenGLES2; }

}  // namespace pphost
