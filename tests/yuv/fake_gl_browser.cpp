#include "yuv/fake_gl_browser.h"

#include <cstring>

#include "host/gles2/gl2_api.h"
#include "host/gles2/gles2_binding.h"
#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppb_graphics_3d.h"
#include "host/ppapi/ppb_instance.h"
#include "host/ppapi/ppb_opengles2.h"
#include "host/ppapi/ppb_view.h"

namespace yuv_test {

namespace {

FakeBrowser& B() { return FakeBrowser::Get(); }

void Record(const char* name, std::vector<int64_t> args, std::vector<float> floats = {}) {
  B().calls.push_back({name, std::move(args), std::move(floats)});
}

// Core.
void AddRef(PP_Resource /*resource*/) {}
void Release(PP_Resource /*resource*/) {}
PP_Time Time() { return B().nowSeconds; }
PP_TimeTicks Ticks() { return B().nowSeconds; }
void CallOnMain(int32_t /*delay*/, PP_CompletionCallback callback, int32_t result) {
  Record("CallOnMainThread", {result});
  B().mainThreadTasks.push_back(callback);
}
PP_Bool IsMain() { return PP_TRUE; }
const PPB_Core_1_0 kCore = {&AddRef, &Release, &Time, &Ticks, &CallOnMain, &IsMain};

// Instance.
PP_Bool BindGraphics(PP_Instance /*instance*/, PP_Resource device) {
  Record("BindGraphics", {device});
  return B().config.refuseBind ? PP_FALSE : PP_TRUE;
}
PP_Bool IsFullFrame(PP_Instance /*instance*/) { return PP_FALSE; }
const PPB_Instance_1_0 kInstanceTable = {&BindGraphics, &IsFullFrame};

// View 1.0.
PP_Bool IsView(PP_Resource /*resource*/) { return PP_TRUE; }
PP_Bool GetRect(PP_Resource /*resource*/, PP_Rect* rect) {
  *rect = B().config.viewRect;
  return PP_TRUE;
}
PP_Bool ViewFalse(PP_Resource /*resource*/) { return PP_FALSE; }
PP_Bool GetClip(PP_Resource /*resource*/, PP_Rect* clip) {
  *clip = B().config.viewRect;
  return PP_TRUE;
}
const PPB_View_1_0 kView = {&IsView, &GetRect, &ViewFalse, &IsView, &IsView, &GetClip};

// Graphics3D.
int32_t GetAttribMaxValue(PP_Resource /*instance*/, int32_t /*attribute*/, int32_t* /*value*/) { return 0; }
PP_Resource Create(PP_Instance /*instance*/, PP_Resource /*share*/, const int32_t attribs[]) {
  std::vector<int32_t> list;
  for (size_t i = 0; attribs != nullptr && attribs[i] != PP_GRAPHICS3DATTRIB_NONE; i += 2) {
    list.push_back(attribs[i]);
    list.push_back(attribs[i + 1]);
  }
  B().createdAttribs.push_back(list);
  return static_cast<PP_Resource>(100 + B().createdAttribs.size());
}
PP_Bool IsGraphics3D(PP_Resource /*resource*/) { return PP_TRUE; }
int32_t GetAttribs(PP_Resource /*context*/, int32_t* /*list*/) { return 0; }
int32_t SetAttribs(PP_Resource /*context*/, const int32_t* /*list*/) { return 0; }
int32_t GetError3D(PP_Resource /*context*/) { return 0; }
int32_t ResizeBuffers(PP_Resource context, int32_t width, int32_t height) {
  Record("ResizeBuffers", {context, width, height});
  return B().config.resizeResult;
}
int32_t SwapBuffers(PP_Resource context, PP_CompletionCallback callback) {
  Record("SwapBuffers", {context});
  B().pendingSwaps.push_back(callback);
  return PP_OK_COMPLETIONPENDING;
}
const PPB_Graphics3D_1_0 kGraphics3D = {&GetAttribMaxValue, &Create,     &IsGraphics3D,  &GetAttribs,
                                        &SetAttribs,        &GetError3D, &ResizeBuffers, &SwapBuffers};

// GLES2: only the entry points the renderers use; the rest stay null.
void ActiveTexture(PP_Resource c, GLenum t) { Record("ActiveTexture", {c, t}); }
void AttachShader(PP_Resource c, GLuint p, GLuint s) { Record("AttachShader", {c, p, s}); }
void BindAttribLocation(PP_Resource c, GLuint p, GLuint i, const char* /*name*/) {
  Record("BindAttribLocation", {c, p, i});
}
void BindTexture(PP_Resource c, GLenum target, GLuint t) { Record("BindTexture", {c, target, t}); }
void Clear(PP_Resource c, GLbitfield m) { Record("Clear", {c, m}); }
void ClearColor(PP_Resource c, GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  Record("ClearColor", {c}, {r, g, b, a});
}
void CompileShader(PP_Resource c, GLuint s) { Record("CompileShader", {c, s}); }
GLuint CreateProgram(PP_Resource c) {
  Record("CreateProgram", {c});
  return B().nextName++;
}
GLuint CreateShader(PP_Resource c, GLenum type) {
  Record("CreateShader", {c, type});
  const GLuint name = B().nextName++;
  B().shaderTypes[name] = type;
  return name;
}
void DeleteShader(PP_Resource c, GLuint s) { Record("DeleteShader", {c, s}); }
void DeleteTextures(PP_Resource c, GLsizei n, const GLuint* t) { Record("DeleteTextures", {c, n, t[0]}); }
void DrawArrays(PP_Resource c, GLenum mode, GLint first, GLsizei count) {
  Record("DrawArrays", {c, mode, first, count});
}
void EnableVertexAttribArray(PP_Resource c, GLuint i) { Record("EnableVertexAttribArray", {c, i}); }
void GenTextures(PP_Resource c, GLsizei n, GLuint* t) {
  for (GLsizei i = 0; i < n; ++i) t[i] = B().config.zeroTextureNames ? 0 : B().nextName++;
  Record("GenTextures", {c, n, t[0]});
}
GLenum GetError(PP_Resource /*c*/) {
  const GLenum error = B().pendingError;
  B().pendingError = 0;
  return error;
}
void GetProgramInfoLog(PP_Resource /*c*/, GLuint /*p*/, GLsizei size, GLsizei* /*length*/, char* log) {
  std::strncpy(log, "link says no", static_cast<size_t>(size));
}
void GetProgramiv(PP_Resource /*c*/, GLuint /*p*/, GLenum pname, GLint* value) {
  *value = (pname == GL_LINK_STATUS && !B().config.failLink) ? 1 : 0;
}
void GetShaderInfoLog(PP_Resource /*c*/, GLuint /*s*/, GLsizei size, GLsizei* /*length*/, char* log) {
  std::strncpy(log, "0:1: syntax error", static_cast<size_t>(size));
}
void GetShaderiv(PP_Resource /*c*/, GLuint s, GLenum pname, GLint* value) {
  *value = (pname == GL_COMPILE_STATUS && B().shaderTypes[s] != B().config.failShaderType) ? 1 : 0;
}
const GLubyte* GetString(PP_Resource /*c*/, GLenum name) {
  static const char kVersion[] = "OpenGL ES 2.0 (fake)";
  if (name != GL_VERSION || B().config.noVersionString) return nullptr;
  return reinterpret_cast<const GLubyte*>(kVersion);
}
GLint GetUniformLocation(PP_Resource /*c*/, GLuint /*p*/, const char* name) {
  // Stable, distinct locations per name.
  static const char* const kNames[] = {"tex_y", "tex_u", "tex_v", "is_nv12", "is_bkcolor", "bkcolor_data", "is_mirror"};
  for (GLint i = 0; i < 7; ++i) {
    if (std::strcmp(kNames[i], name) == 0) return 10 + i;
  }
  return -1;
}
void LinkProgram(PP_Resource c, GLuint p) { Record("LinkProgram", {c, p}); }
void PixelStorei(PP_Resource c, GLenum pname, GLint v) { Record("PixelStorei", {c, pname, v}); }
// Answers GL_MAX_TEXTURE_SIZE (0x0D33) from the config; every other query 0.
void GetIntegerv(PP_Resource c, GLenum pname, GLint* params) {
  Record("GetIntegerv", {c, pname});
  if (params != nullptr) *params = pname == 0x0D33 ? B().config.maxTextureSize : 0;
}
void ShaderSource(PP_Resource c, GLuint s, GLsizei n, const char** /*str*/, const GLint* length) {
  Record("ShaderSource", {c, s, n, length == nullptr ? 0 : 1});
}
void TexImage2D(PP_Resource c, GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border,
                GLenum format, GLenum type, const void* /*pixels*/) {
  Record("TexImage2D", {c, target, level, internal, w, h, border, format, type});
  if (format == GL_RED && B().config.refuseRed && B().pendingError == 0) B().pendingError = GL_INVALID_ENUM;
}
void TexParameteri(PP_Resource c, GLenum target, GLenum pname, GLint v) {
  Record("TexParameteri", {c, target, pname, v});
}
void Uniform1i(PP_Resource c, GLint location, GLint v) { Record("Uniform1i", {c, location, v}); }
void Uniform4f(PP_Resource c, GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
  Record("Uniform4f", {c, location}, {x, y, z, w});
}
void UseProgram(PP_Resource c, GLuint p) { Record("UseProgram", {c, p}); }
void VertexAttribPointer(PP_Resource c, GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                         const void* ptr) {
  const auto* floats = static_cast<const float*>(ptr);
  Record("VertexAttribPointer", {c, index, size, type, normalized, stride}, std::vector<float>(floats, floats + 12));
}
void Viewport(PP_Resource c, GLint x, GLint y, GLsizei w, GLsizei h) { Record("Viewport", {c, x, y, w, h}); }

PPB_OpenGLES2 MakeGles2() {
  PPB_OpenGLES2 gl{};
  gl.ActiveTexture = &ActiveTexture;
  gl.AttachShader = &AttachShader;
  gl.BindAttribLocation = &BindAttribLocation;
  gl.BindTexture = &BindTexture;
  gl.Clear = &Clear;
  gl.ClearColor = &ClearColor;
  gl.CompileShader = &CompileShader;
  gl.CreateProgram = &CreateProgram;
  gl.CreateShader = &CreateShader;
  gl.DeleteShader = &DeleteShader;
  gl.DeleteTextures = &DeleteTextures;
  gl.DrawArrays = &DrawArrays;
  gl.EnableVertexAttribArray = &EnableVertexAttribArray;
  gl.GenTextures = &GenTextures;
  gl.GetError = &GetError;
  gl.GetProgramInfoLog = &GetProgramInfoLog;
  gl.GetProgramiv = &GetProgramiv;
  gl.GetShaderInfoLog = &GetShaderInfoLog;
  gl.GetShaderiv = &GetShaderiv;
  gl.GetString = &GetString;
  gl.GetIntegerv = &GetIntegerv;
  gl.GetUniformLocation = &GetUniformLocation;
  gl.LinkProgram = &LinkProgram;
  gl.PixelStorei = &PixelStorei;
  gl.ShaderSource = &ShaderSource;
  gl.TexImage2D = &TexImage2D;
  gl.TexParameteri = &TexParameteri;
  gl.Uniform1i = &Uniform1i;
  gl.Uniform4f = &Uniform4f;
  gl.UseProgram = &UseProgram;
  gl.VertexAttribPointer = &VertexAttribPointer;
  gl.Viewport = &Viewport;
  return gl;
}
const PPB_OpenGLES2 kGles2 = MakeGles2();

}  // namespace

FakeBrowser& FakeBrowser::Get() {
  static FakeBrowser browser;
  return browser;
}

void FakeBrowser::Reset() {
  const double now = nowSeconds;
  *this = FakeBrowser();
  nowSeconds = now + 60.0;  // every test starts a minute later: rate limits start afresh
}

std::vector<RecordedCall> FakeBrowser::Calls(const std::string& name) const {
  std::vector<RecordedCall> found;
  for (const auto& call : calls) {
    if (call.name == name) found.push_back(call);
  }
  return found;
}

void FakeBrowser::CompleteSwaps(int32_t result) {
  auto swaps = std::move(pendingSwaps);
  pendingSwaps.clear();
  for (auto& callback : swaps) PP_RunCompletionCallback(&callback, result);
}

const void* FakeBrowser::GetInterface(const char* name) {
  const std::string n = name;
  if (n == PPB_CORE_INTERFACE_1_0) return &kCore;
  if (n == PPB_INSTANCE_INTERFACE_1_0) return &kInstanceTable;
  if (n == PPB_VIEW_INTERFACE_1_0) return &kView;
  if (n == PPB_GRAPHICS_3D_INTERFACE_1_0) return B().config.offerGraphics3D ? &kGraphics3D : nullptr;
  if (n == PPB_OPENGLES2_INTERFACE_1_0) return B().config.offerGles2 ? &kGles2 : nullptr;
  return nullptr;
}

FakeBrowserTest::FakeBrowserTest() : browser_(FakeBrowser::Get()) {
  browser_.Reset();
  pp::SetModuleSingleton(&module_);
  EXPECT_TRUE(module_.InternalInit(1, &FakeBrowser::GetInterface));
}

int32_t FakeBrowserTest::CreatedAttrib(int32_t name) const {
  const auto& list = browser_.createdAttribs.back();
  for (size_t i = 0; i + 1 < list.size(); i += 2) {
    if (list[i] == name) return list[i + 1];
  }
  ADD_FAILURE() << "no attribute " << name;
  return -1;
}

FakeBrowserTest::~FakeBrowserTest() {
  TALLWICK_GLES2::glTerminatePPAPI();
  pp::SetModuleSingleton(nullptr);
}

}  // namespace yuv_test
