// The fake plug-in's 3D commands: one context per instance, drawn with the
// browser's PPB_OpenGLES2 table as a module would.
#include <GLES2/gl2.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "devhost/fake_plugin_support.h"

namespace fake_plugin {

namespace {

constexpr GLenum kRed = 0x1903;

std::map<PP_Instance, PP_Resource> g_contexts;
std::set<PP_Instance> g_leaked;

PP_Resource ContextOf(PP_Instance instance) {
  auto it = g_contexts.find(instance);
  return it != g_contexts.end() ? it->second : 0;
}

void PostResult(PP_Instance instance, const char* command, const char* key, int32_t value) {
  const PP_Var event = Event(command);
  Put(event, key, PP_MakeInt32(value));
  PostAndRelease(instance, event);
}

void DropContext(PP_Instance instance) {
  const PP_Resource context = ContextOf(instance);
  if (context != 0) g_browser.core->ReleaseResource(context);
  g_contexts.erase(instance);
}

// CONTEXT {width, height, alpha, depth}
void CreateContext(PP_Instance instance, PP_Var message) {
  DropContext(instance);
  const std::array<int32_t, 9> attributes = {
      PP_GRAPHICS3DATTRIB_WIDTH,      GetInt(message, "width"),           PP_GRAPHICS3DATTRIB_HEIGHT,
      GetInt(message, "height"),      PP_GRAPHICS3DATTRIB_ALPHA_SIZE,     GetBool(message, "alpha") ? 8 : 0,
      PP_GRAPHICS3DATTRIB_DEPTH_SIZE, GetBool(message, "depth") ? 24 : 0, PP_GRAPHICS3DATTRIB_NONE};
  const PP_Resource context = g_browser.graphics3d->Create(instance, 0, attributes.data());
  if (context != 0) g_contexts[instance] = context;
  const PP_Var event = Event("CONTEXT");
  Put(event, "ok", PP_MakeBool(PP_FromBool(context != 0)));
  Put(event, "is3d", PP_MakeBool(g_browser.graphics3d->IsGraphics3D(context)));
  PostAndRelease(instance, event);
}

// BIND {of: another instance's context, none: unbind}
void Bind(PP_Instance instance, PP_Var message) {
  const int32_t of = GetInt(message, "of");
  const PP_Resource context = GetBool(message, "none") ? 0 : ContextOf(of != 0 ? of : instance);
  PostResult(instance, "BIND", "ok", g_browser.instance->BindGraphics(instance, context));
}

// FILL {r, g, b, a, x, y, w, h}: a clear, scissored to the rectangle (GL
// coordinates, from the bottom left) when it has a width.
void Fill(PP_Instance instance, PP_Var message) {
  const PP_Resource c = ContextOf(instance);
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  gl.BindFramebuffer(c, GL_FRAMEBUFFER, 0);
  if (GetInt(message, "w") > 0) {
    gl.Enable(c, GL_SCISSOR_TEST);
    gl.Scissor(c, GetInt(message, "x"), GetInt(message, "y"), GetInt(message, "w"), GetInt(message, "h"));
  }
  gl.ClearColor(c, static_cast<GLfloat>(GetNumber(message, "r")), static_cast<GLfloat>(GetNumber(message, "g")),
                static_cast<GLfloat>(GetNumber(message, "b")), static_cast<GLfloat>(GetNumber(message, "a")));
  gl.Clear(c, GL_COLOR_BUFFER_BIT);
  gl.Disable(c, GL_SCISSOR_TEST);
}

GLuint Shader(PP_Resource c, GLenum type, const char* text) {
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  const GLuint shader = gl.CreateShader(c, type);
  gl.ShaderSource(c, shader, 1, &text, nullptr);
  gl.CompileShader(c, shader);
  return shader;
}

// QUAD {r, g, b, a}: a shader-drawn quad over the whole viewport; posts
// {"command": "QUAD", "linked", "error"}.
void Quad(PP_Instance instance, PP_Var message) {
  const PP_Resource c = ContextOf(instance);
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  const GLuint program = gl.CreateProgram(c);
  const GLuint vertex =
      Shader(c, GL_VERTEX_SHADER, "attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }");
  const GLuint fragment = Shader(
      c, GL_FRAGMENT_SHADER, "precision mediump float; uniform vec4 colour; void main() { gl_FragColor = colour; }");
  gl.AttachShader(c, program, vertex);
  gl.AttachShader(c, program, fragment);
  gl.BindAttribLocation(c, program, 3, "p");
  gl.LinkProgram(c, program);
  GLint linked = 0;
  gl.GetProgramiv(c, program, GL_LINK_STATUS, &linked);
  gl.UseProgram(c, program);
  gl.Uniform4f(c, gl.GetUniformLocation(c, program, "colour"), static_cast<GLfloat>(GetNumber(message, "r")),
               static_cast<GLfloat>(GetNumber(message, "g")), static_cast<GLfloat>(GetNumber(message, "b")),
               static_cast<GLfloat>(GetNumber(message, "a")));
  static constexpr std::array<GLfloat, 8> kCorners = {-1, -1, 1, -1, -1, 1, 1, 1};
  GLuint buffer = 0;
  gl.GenBuffers(c, 1, &buffer);
  gl.BindBuffer(c, GL_ARRAY_BUFFER, buffer);
  gl.BufferData(c, GL_ARRAY_BUFFER, sizeof(kCorners), kCorners.data(), GL_STATIC_DRAW);
  gl.EnableVertexAttribArray(c, 3);
  gl.VertexAttribPointer(c, 3, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  gl.DrawArrays(c, GL_TRIANGLE_STRIP, 0, 4);
  gl.DeleteBuffers(c, 1, &buffer);
  gl.DeleteProgram(c, program);
  gl.DeleteShader(c, vertex);
  gl.DeleteShader(c, fragment);
  const PP_Var event = Event("QUAD");
  Put(event, "linked", PP_MakeInt32(linked));
  Put(event, "error", PP_MakeInt32(static_cast<int32_t>(gl.GetError(c))));
  PostAndRelease(instance, event);
}

void OnSwapped(void* userData, int32_t result) {
  const std::unique_ptr<PP_Instance> instance(static_cast<PP_Instance*>(userData));
  PostResult(*instance, "SWAPPED", "result", result);
}

void Swap(PP_Instance instance) {
  auto* userData = new PP_Instance(instance);
  const int32_t result =
      g_browser.graphics3d->SwapBuffers(ContextOf(instance), PP_MakeCompletionCallback(&OnSwapped, userData));
  if (result != PP_OK_COMPLETIONPENDING) delete userData;  // the callback will not run
  PostResult(instance, "SWAP", "result", result);
}

// RED {sub}: a GL_RED upload, or with "sub" a GL_RED TexSubImage2D into a
// texture uploaded as GL_RED (that upload's error is dropped); posts the GL
// error that follows.
void UploadRed(PP_Instance instance, PP_Var message) {
  const PP_Resource c = ContextOf(instance);
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  static constexpr std::array<uint8_t, 16> kTexels{};
  GLuint texture = 0;
  gl.GenTextures(c, 1, &texture);
  gl.BindTexture(c, GL_TEXTURE_2D, texture);
  gl.TexImage2D(c, GL_TEXTURE_2D, 0, kRed, 2, 2, 0, kRed, GL_UNSIGNED_BYTE, kTexels.data());
  if (GetBool(message, "sub")) {
    gl.GetError(c);
    gl.TexSubImage2D(c, GL_TEXTURE_2D, 0, 0, 0, 2, 2, kRed, GL_UNSIGNED_BYTE, kTexels.data());
  }
  const GLenum error = gl.GetError(c);
  gl.DeleteTextures(c, 1, &texture);
  PostResult(instance, "RED", "error", static_cast<int32_t>(error));
}

// FBO: binds a framebuffer of its own, then framebuffer 0, reading the
// binding after each.
void OwnFramebuffer(PP_Instance instance) {
  const PP_Resource c = ContextOf(instance);
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  GLuint framebuffer = 0;
  gl.GenFramebuffers(c, 1, &framebuffer);
  gl.BindFramebuffer(c, GL_FRAMEBUFFER, framebuffer);
  GLint own = -1;
  gl.GetIntegerv(c, GL_FRAMEBUFFER_BINDING, &own);
  gl.BindFramebuffer(c, GL_FRAMEBUFFER, 0);
  GLint zero = -1;
  gl.GetIntegerv(c, GL_FRAMEBUFFER_BINDING, &zero);
  gl.DeleteFramebuffers(c, 1, &framebuffer);
  const PP_Var event = Event("FBO");
  Put(event, "own", PP_MakeBool(PP_FromBool(own == static_cast<GLint>(framebuffer) && own != 0)));
  Put(event, "zero", PP_MakeInt32(zero));
  PostAndRelease(instance, event);
}

void PostErrors(PP_Instance instance) {
  const PP_Resource c = ContextOf(instance);
  const PP_Var event = Event("ERRORS");
  Put(event, "gl", PP_MakeInt32(static_cast<int32_t>(g_browser.gl->GetError(c))));
  Put(event, "context", PP_MakeInt32(g_browser.graphics3d->GetError(c)));
  PostAndRelease(instance, event);
}

// ANSWERS {context}: what the value-returning entries answer for the
// instance's context, or for the resource `context` when one is given.
void PostAnswers(PP_Instance instance, PP_Var message) {
  const int32_t given = GetInt(message, "context");
  const PP_Resource c = given != 0 ? given : ContextOf(instance);
  const PPB_OpenGLES2_1_0& gl = *g_browser.gl;
  const PP_Var event = Event("ANSWERS");
  Put(event, "program", PP_MakeInt32(static_cast<int32_t>(gl.CreateProgram(c))));
  Put(event, "shader", PP_MakeInt32(static_cast<int32_t>(gl.CreateShader(c, GL_VERTEX_SHADER))));
  Put(event, "isTexture", PP_MakeInt32(gl.IsTexture(c, 1)));
  Put(event, "attrib", PP_MakeInt32(gl.GetAttribLocation(c, 1, "position")));
  Put(event, "uniform", PP_MakeInt32(gl.GetUniformLocation(c, 1, "tex_y")));
  Put(event, "status", PP_MakeInt32(static_cast<int32_t>(gl.CheckFramebufferStatus(c, GL_FRAMEBUFFER))));
  Put(event, "version", PP_MakeBool(PP_FromBool(gl.GetString(c, GL_VERSION) != nullptr)));
  PostAndRelease(instance, event);
}

}  // namespace

bool RunGlCommand(PP_Instance instance, PP_Var message, const std::string& command) {
  if (command == "CONTEXT") {
    CreateContext(instance, message);
  } else if (command == "BIND") {
    Bind(instance, message);
  } else if (command == "FILL") {
    Fill(instance, message);
  } else if (command == "QUAD") {
    Quad(instance, message);
  } else if (command == "SWAP") {
    Swap(instance);
  } else if (command == "RESIZE") {
    PostResult(
        instance, "RESIZE", "result",
        g_browser.graphics3d->ResizeBuffers(ContextOf(instance), GetInt(message, "width"), GetInt(message, "height")));
  } else if (command == "RED") {
    UploadRed(instance, message);
  } else if (command == "FBO") {
    OwnFramebuffer(instance);
  } else if (command == "ERRORS") {
    PostErrors(instance);
  } else if (command == "ANSWERS") {
    PostAnswers(instance, message);
  } else if (command == "LEAK_CONTEXT") {
    g_leaked.insert(instance);
  } else if (command == "DROP_CONTEXT") {
    DropContext(instance);
  } else {
    return false;
  }
  return true;
}

void ForgetGlInstance(PP_Instance instance) {
  if (g_leaked.count(instance) == 0) DropContext(instance);
  g_contexts.erase(instance);
}

void ResetGl() {
  g_contexts.clear();
  g_leaked.clear();
}

}  // namespace fake_plugin
