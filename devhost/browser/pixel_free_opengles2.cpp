// "PPB_OpenGLES2;1.0" for a host that may make pixel-free contexts
// (gl/pixel_free_context.h): a call on such a context is answered here at
// once; a call on any other context goes on to the host's own table.
//
// The answers are those of a GL that accepts everything and draws nothing:
// fresh names from glGen* and glCreate*, every shader compiled and every
// program linked, empty logs, location 0, a complete framebuffer, no error
// but the host's own, a 4096-pixel texture limit. An upload's pixels are
// read in full as GL would read them (so a read past the module's memory
// still faults) and the host's upload hook runs first, as on a real context.
//
// How the table is made: every member first gets the generic entry, which
// answers 0 (nothing, GL_FALSE, null); the members the module needs real
// answers from get an entry of their own.
#include <cstring>
#include <functional>
#include <iterator>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/gles2_forwarding.h"
#include "devhost/browser/gles2_members.h"
#include "devhost/browser/instance_graphics.h"
#include "devhost/gl/pixel_free_context.h"
#include "devhost/glcalls/client_state.h"

namespace pphost {

namespace {

using Gles2 = PPB_OpenGLES2_1_0;

constexpr GLenum kUnpackAlignment = 0x0CF5;
constexpr GLenum kMaxTextureSize = 0x0D33;
constexpr GLenum kCompileStatus = 0x8B81;
constexpr GLenum kLinkStatus = 0x8B82;
constexpr GLenum kValidateStatus = 0x8B83;
constexpr GLenum kFramebufferComplete = 0x8CD5;
constexpr GLenum kInvalidOperation = 0x0502;
constexpr GLint kTextureLimit = 4096;

// The pixel-free context behind `context`, when it is one and not lost.
PixelFreeContext* PixelFree(PP_Resource context) { return dynamic_cast<PixelFreeContext*>(CurrentContext3D(context)); }

const Gles2& Live() { return HostOpenGLES2(); }

// A call on any other context: the host's own member, if it has one.
template <auto Slot, typename... Args>
auto CallLive(PP_Resource context, Args... args) {
  using Result = decltype((Live().*Slot)(context, args...));
  const auto member = Live().*Slot;
  if (member == nullptr) return Result();
  return member(context, args...);
}

// The generic entry: a pixel-free context answers 0 (location 0 for a
// location query), and a lost one answers what a lost real context does.
template <typename Member>
struct Switched;
template <typename R, typename... Args>
struct Switched<R (PP_CALL* Gles2::*)(PP_Resource, Args...)> {
  template <auto Slot>
  static R PP_CALL Call(PP_Resource context, Args... args) {
    const auto* pixelFree = dynamic_cast<PixelFreeContext*>(FindContext3D(context));
    if (pixelFree != nullptr) return pixelFree->Lost() ? gles2::LostAnswer<R>() : R();
    return CallLive<Slot>(context, args...);
  }
};

// The members answered here: each serves a pixel-free context itself and
// hands any other call on to the host's own table.

GLuint PP_CALL CreateShader(PP_Resource context, GLenum type) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::CreateShader>(context, type);
  PixelFreeContext& gl = *pixelFree;
  return gl.NextName();
}

GLuint PP_CALL CreateProgram(PP_Resource context) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::CreateProgram>(context);
  return pixelFree->NextName();
}

template <auto Slot>
void PP_CALL GenObjects(PP_Resource context, GLsizei n, GLuint* names) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<Slot>(context, n, names);
  PixelFreeContext& gl = *pixelFree;
  for (GLsizei i = 0; names != nullptr && i < n; ++i) names[i] = gl.NextName();
}

template <auto Slot>
void PP_CALL ObjectStatus(PP_Resource context, GLuint object, GLenum pname, GLint* params) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<Slot>(context, object, pname, params);
  if (params == nullptr) return;
  const bool good = pname == kCompileStatus || pname == kLinkStatus || pname == kValidateStatus;
  *params = good ? 1 : 0;
}

template <auto Slot>
void PP_CALL InfoLog(PP_Resource context, GLuint object, GLsizei size, GLsizei* length, char* text) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<Slot>(context, object, size, length, text);
  if (length != nullptr) *length = 0;
  if (text != nullptr && size > 0) text[0] = '\0';
}

void PP_CALL GetIntegerv(PP_Resource context, GLenum pname, GLint* params) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::GetIntegerv>(context, pname, params);
  PixelFreeContext& gl = *pixelFree;
  if (params == nullptr) return;
  *params = pname == kMaxTextureSize ? kTextureLimit : pname == kUnpackAlignment ? gl.unpackAlignment : 0;
}

const GLubyte* PP_CALL GetString(PP_Resource context, GLenum name) {
  static const char kText[] = "OpenGL ES 2.0 pphost pixel-free";
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::GetString>(context, name);
  return reinterpret_cast<const GLubyte*>(kText);
}

GLenum PP_CALL GetError(PP_Resource context) {
  auto* pixelFree = dynamic_cast<PixelFreeContext*>(FindContext3D(context));
  if (pixelFree == nullptr) return CallLive<&Gles2::GetError>(context);
  return pixelFree->TakeError();
}

GLenum PP_CALL CheckFramebufferStatus(PP_Resource context, GLenum target) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::CheckFramebufferStatus>(context, target);
  return kFramebufferComplete;
}

void PP_CALL PixelStorei(PP_Resource context, GLenum pname, GLint param) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr) return CallLive<&Gles2::PixelStorei>(context, pname, param);
  PixelFreeContext& gl = *pixelFree;
  if (pname != kUnpackAlignment) return;
  if (param == 1 || param == 2 || param == 4 || param == 8) {
    gl.unpackAlignment = param;
  } else {
    gl.RaiseError(kInvalidOperation);
  }
}

// Reads every byte GL would read of an upload, and keeps a sum of them so
// that the reads are not optimised away.
void ReadUpload(const PixelFreeContext& gl, const void* pixels, GLenum format, GLenum type, GLsizei width,
                GLsizei height) {
  static volatile unsigned sink = 0;
  unsigned sum = 0;
  ForEachUploadRow(pixels, format, type, width, height, gl.unpackAlignment,
                   [&sum](const unsigned char* start, size_t rowBytes) {
                     for (size_t x = 0; x < rowBytes; ++x) sum += start[x];
                   });
  sink = sink + sum;
}

void PP_CALL TexImage2D(PP_Resource context, GLenum target, GLint level, GLint internalformat, GLsizei width,
                        GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr)
    return CallLive<&Gles2::TexImage2D>(context, target, level, internalformat, width, height, border, format, type,
                                        pixels);
  PixelFreeContext& gl = *pixelFree;
  RunUploadHook();
  ReadUpload(gl, pixels, format, type, width, height);
}

void PP_CALL TexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                           GLsizei height, GLenum format, GLenum type, const void* pixels) {
  PixelFreeContext* pixelFree = PixelFree(context);
  if (pixelFree == nullptr)
    return CallLive<&Gles2::TexSubImage2D>(context, target, level, xoffset, yoffset, width, height, format, type,
                                           pixels);
  PixelFreeContext& gl = *pixelFree;
  ReadUpload(gl, pixels, format, type, width, height);
}

Gles2 MakeTable() {
  Gles2 table{};
#define PPHOST_GENERIC(Name) table.Name = &Switched<decltype(&Gles2::Name)>::template Call<&Gles2::Name>;
  PPHOST_GLES2_MEMBERS(PPHOST_GENERIC)
#undef PPHOST_GENERIC
  table.CreateShader = &CreateShader;
  table.CreateProgram = &CreateProgram;
  table.GenBuffers = &GenObjects<&Gles2::GenBuffers>;
  table.GenFramebuffers = &GenObjects<&Gles2::GenFramebuffers>;
  table.GenRenderbuffers = &GenObjects<&Gles2::GenRenderbuffers>;
  table.GenTextures = &GenObjects<&Gles2::GenTextures>;
  table.GetShaderiv = &ObjectStatus<&Gles2::GetShaderiv>;
  table.GetProgramiv = &ObjectStatus<&Gles2::GetProgramiv>;
  table.GetShaderInfoLog = &InfoLog<&Gles2::GetShaderInfoLog>;
  table.GetProgramInfoLog = &InfoLog<&Gles2::GetProgramInfoLog>;
  table.GetIntegerv = &GetIntegerv;
  table.GetString = &GetString;
  table.GetError = &GetError;
  table.CheckFramebufferStatus = &CheckFramebufferStatus;
  table.PixelStorei = &PixelStorei;
  table.TexImage2D = &TexImage2D;
  table.TexSubImage2D = &TexSubImage2D;
  return table;
}

}  // namespace

const PPB_OpenGLES2_1_0* PixelFreeOpenGLES2Interface() {
  static const Gles2 kTable = MakeTable();
  return &kTable;
}

}  // namespace pphost
