// "PPB_OpenGLES2;1.0" with every call written to the host's GL call record
// (glcalls/gl_call_log.h) on its way to the host's own table, or answered
// from an earlier record where the host has no GL.
//
// How the table is made: every member first gets the generic entry, which
// writes numbers as they are, a string as its text and any other pointer as
// "pointer". The members whose pointers the module uses then get an entry
// of their own below, which writes what the pointer holds (or fills it from
// the answers).
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/gles2_members.h"
#include "devhost/glcalls/client_state.h"
#include "devhost/glcalls/gl_call_log.h"

namespace pphost {

namespace {

using Gles2 = PPB_OpenGLES2_1_0;

constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kElementArrayBuffer = 0x8893;
constexpr GLenum kUnpackAlignment = 0x0CF5;

GlCallLog& Log() { return *ActiveBrowser()->glCalls; }

// The host's own table, which the calls reach unless the log answers them.
const Gles2& Live() { return HostOpenGLES2(); }

// Calls the host's own member unless the log answers; a member the host
// does not have does nothing and answers nothing.
template <auto Slot, typename... Args>
auto CallLive(Args... args) {
  using Result = decltype((Live().*Slot)(args...));
  const GlCallLog& log = Log();
  const auto member = Live().*Slot;
  if (log.Answering() || member == nullptr) return Result();
  return member(args...);
}

// An argument as the record writes it.
template <typename T>
Json ArgValue(T value) {
  if constexpr (std::is_same_v<T, const char*>) {
    return value != nullptr ? Json(value) : Json(nullptr);
  } else if constexpr (std::is_pointer_v<T>) {
    return value != nullptr ? Json("pointer") : Json(nullptr);
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<double>(value);
  } else {
    return value;
  }
}

// What the answers' line returned, as `R`; R() without one, and for a
// pointer (the one member that returns one has its own entry).
template <typename R>
R AnsweredReturn(GlCallLog& log) {
  const Json* line = log.Answer();
  if constexpr (std::is_pointer_v<R>) {
    return R();
  } else {
    if (line == nullptr || !line->contains("ret") || !(*line)["ret"].is_number()) return R();
    return (*line)["ret"].get<R>();
  }
}

// The generic entry: numbers and strings as they are.
template <typename Member>
struct Recorded;
template <typename R, typename... Args>
struct Recorded<R (PP_CALL* Gles2::*)(PP_Resource, Args...)> {
  template <auto Slot, const char* kName>
  static R PP_CALL Call(PP_Resource context, Args... args) {
    GlCallLog& log = Log();
    Json& line = log.Begin(kName, context);
    (line.push_back(ArgValue(args)), ...);
    if constexpr (std::is_void_v<R>) {
      CallLive<Slot>(context, args...);
      log.End();
    } else {
      const R answer = log.Answering() ? AnsweredReturn<R>(log) : CallLive<Slot>(context, args...);
      log.Ret(ArgValue(answer));
      log.End();
      return answer;
    }
  }
};

// A call that writes `count` values through `out`: GL fills them, or the
// answers' "out" does; either way the record gets them.
template <typename T, typename LiveCall>
void Filled(GlCallLog& log, T* out, size_t count, LiveCall&& live) {
  if (!log.Answering()) {
    live();
  } else if (const Json* line = log.Answer(); line != nullptr && out != nullptr) {
    const Json& values = line->value("out", Json::array());
    for (size_t i = 0; i < count && i < values.size(); ++i) out[i] = values[i].get<T>();
  }
  Json values = Json::array();
  for (size_t i = 0; out != nullptr && i < count; ++i) values.push_back(ArgValue(out[i]));
  log.Out(std::move(values));
}

// Text GL writes into `buffer` of `size` bytes, with its length.
template <typename LiveCall>
void FilledText(GlCallLog& log, GLsizei size, GLsizei* length, char* buffer, LiveCall&& live) {
  GLsizei written = 0;
  if (!log.Answering()) {
    live(&written);
  } else if (const Json* line = log.Answer(); line != nullptr && buffer != nullptr && size > 0) {
    const std::string text = line->value("out", Json::object()).value("text", "");
    written = static_cast<GLsizei>(std::min<size_t>(text.size(), static_cast<size_t>(size) - 1));
    std::memcpy(buffer, text.data(), static_cast<size_t>(written));
    buffer[written] = '\0';
  }
  if (length != nullptr) *length = written;
  log.Out(Json{{"length", written}, {"text", buffer != nullptr ? std::string(buffer, written) : ""}});
}

// A call written with its arguments as they are, but for the one at `kAt`
// (counted after the context), a pointer written as `data`.
template <auto Slot, size_t kAt, typename... Args>
void WithData(const char* name, Json data, PP_Resource context, Args... args) {
  GlCallLog& log = Log();
  Json& line = log.Begin(name, context);
  (line.push_back(ArgValue(args)), ...);
  line[kAt] = std::move(data);
  CallLive<Slot>(context, args...);
  log.End();
}

// The members whose pointers the record spells out.

void PP_CALL ShaderSource(PP_Resource context, GLuint shader, GLsizei count, const char** str, const GLint* length) {
  GlCallLog& log = Log();
  Json& args = log.Begin("ShaderSource", context);
  args.push_back(shader);
  args.push_back(count);
  Json texts = Json::array();
  for (GLsizei i = 0; str != nullptr && i < count; ++i) {
    const bool sized = length != nullptr && length[i] >= 0;
    texts.push_back(str[i] == nullptr ? Json(nullptr)
                                      : Json(sized ? std::string(str[i], static_cast<size_t>(length[i])) : str[i]));
  }
  args.push_back(std::move(texts));
  CallLive<&Gles2::ShaderSource>(context, shader, count, str, length);
  log.End();
}

template <auto Slot, const char* kName>
void PP_CALL ObjectQuery(PP_Resource context, GLuint object, GLenum pname, GLint* params) {
  GlCallLog& log = Log();
  log.Begin(kName, context) = {object, pname};
  Filled(log, params, 1, [&] { CallLive<Slot>(context, object, pname, params); });
  log.End();
}

void PP_CALL GetIntegerv(PP_Resource context, GLenum pname, GLint* params) {
  GlCallLog& log = Log();
  log.Begin("GetIntegerv", context) = {pname};
  Filled(log, params, IntegerQueryCount(pname), [&] { CallLive<&Gles2::GetIntegerv>(context, pname, params); });
  log.End();
}

template <auto Slot, const char* kName>
void PP_CALL InfoLog(PP_Resource context, GLuint object, GLsizei size, GLsizei* length, char* infolog) {
  GlCallLog& log = Log();
  log.Begin(kName, context) = {object, size};
  FilledText(log, size, length, infolog,
             [&](GLsizei* written) { CallLive<Slot>(context, object, size, written, infolog); });
  log.End();
}

const GLubyte* PP_CALL GetString(PP_Resource context, GLenum name) {
  GlCallLog& log = Log();
  log.Begin("GetString", context) = {name};
  const char* text = nullptr;
  if (!log.Answering()) {
    text = reinterpret_cast<const char*>(CallLive<&Gles2::GetString>(context, name));
  } else if (const Json* line = log.Answer(); line != nullptr && (*line)["ret"].is_string()) {
    text = log.Keep((*line)["ret"].get<std::string>());
  }
  log.Ret(ArgValue(text));
  log.End();
  return reinterpret_cast<const GLubyte*>(text);
}

template <auto Slot, const char* kName>
void PP_CALL GenObjects(PP_Resource context, GLsizei n, GLuint* ids) {
  GlCallLog& log = Log();
  log.Begin(kName, context) = {n};
  Filled(log, ids, n > 0 ? static_cast<size_t>(n) : 0, [&] { CallLive<Slot>(context, n, ids); });
  log.End();
}

template <auto Slot, const char* kName>
void PP_CALL DeleteObjects(PP_Resource context, GLsizei n, const GLuint* ids) {
  Json list = Json::array();
  for (GLsizei i = 0; ids != nullptr && i < n; ++i) list.push_back(ids[i]);
  WithData<Slot, 1>(kName, std::move(list), context, n, ids);
}

// An upload's pixels as GL reads them, with the context's unpack alignment.
Json UploadedPixels(PP_Resource context, const void* pixels, GLenum format, GLenum type, GLsizei width,
                    GLsizei height) {
  return PixelData(pixels, format, type, width, height, Log().StateOf(context).unpackAlignment);
}

void PP_CALL TexImage2D(PP_Resource context, GLenum target, GLint level, GLint internalformat, GLsizei width,
                        GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels) {
  WithData<&Gles2::TexImage2D, 8>("TexImage2D", UploadedPixels(context, pixels, format, type, width, height), context,
                                  target, level, internalformat, width, height, border, format, type, pixels);
}

void PP_CALL TexSubImage2D(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                           GLsizei height, GLenum format, GLenum type, const void* pixels) {
  WithData<&Gles2::TexSubImage2D, 8>("TexSubImage2D", UploadedPixels(context, pixels, format, type, width, height),
                                     context, target, level, xoffset, yoffset, width, height, format, type, pixels);
}

size_t SizeOf(GLsizeiptr size) { return size > 0 ? static_cast<size_t>(size) : 0; }

void PP_CALL BufferData(PP_Resource context, GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
  WithData<&Gles2::BufferData, 2>("BufferData", BytesData(data, SizeOf(size)), context, target, size, data, usage);
}

void PP_CALL BufferSubData(PP_Resource context, GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
  WithData<&Gles2::BufferSubData, 3>("BufferSubData", BytesData(data, SizeOf(size)), context, target, offset, size,
                                     data);
}

// The calls that change what the record needs to spell out pointers.

void PP_CALL PixelStorei(PP_Resource context, GLenum pname, GLint param) {
  GlCallLog& log = Log();
  log.Begin("PixelStorei", context) = {pname, param};
  if (pname == kUnpackAlignment) log.StateOf(context).unpackAlignment = param;
  CallLive<&Gles2::PixelStorei>(context, pname, param);
  log.End();
}

void PP_CALL BindBuffer(PP_Resource context, GLenum target, GLuint buffer) {
  GlCallLog& log = Log();
  log.Begin("BindBuffer", context) = {target, buffer};
  ClientState& state = log.StateOf(context);
  if (target == kArrayBuffer) state.arrayBuffer = buffer;
  if (target == kElementArrayBuffer) state.elementBuffer = buffer;
  CallLive<&Gles2::BindBuffer>(context, target, buffer);
  log.End();
}

template <auto Slot, const char* kName, bool kEnabled>
void PP_CALL SwitchArray(PP_Resource context, GLuint index) {
  GlCallLog& log = Log();
  log.Begin(kName, context) = {index};
  log.StateOf(context).arrays[index].enabled = kEnabled;
  CallLive<Slot>(context, index);
  log.End();
}

// A client array's pointer is written as "client" (its data goes with each
// draw); in a buffer object it is an offset.
void PP_CALL VertexAttribPointer(PP_Resource context, GLuint index, GLint size, GLenum type, GLboolean normalized,
                                 GLsizei stride, const void* pointer) {
  GlCallLog& log = Log();
  ClientState& state = log.StateOf(context);
  VertexArray& array = state.arrays[index];
  array = VertexArray{array.enabled, state.arrayBuffer == 0, size, type, stride, pointer};
  const Json where = array.client ? Json("client") : Json(reinterpret_cast<uintptr_t>(pointer));
  log.Begin("VertexAttribPointer", context) = {index, size, type, normalized, stride, where};
  CallLive<&Gles2::VertexAttribPointer>(context, index, size, type, normalized, stride, pointer);
  log.End();
}

void PP_CALL DrawArrays(PP_Resource context, GLenum mode, GLint first, GLsizei count) {
  GlCallLog& log = Log();
  log.Begin("DrawArrays", context) = {mode, first, count};
  Json arrays = Json::object();
  for (const auto& [index, array] : log.StateOf(context).arrays) {
    if (array.enabled && array.client) arrays[std::to_string(index)] = VertexValues(array, first, count);
  }
  log.Add("arrays", std::move(arrays));
  CallLive<&Gles2::DrawArrays>(context, mode, first, count);
  log.End();
}

// `count` items of `kPerItem` values each.
template <typename T, size_t kPerItem>
Json Values(GLsizei count, const T* v) {
  Json values = Json::array();
  for (size_t i = 0; v != nullptr && count > 0 && i < static_cast<size_t>(count) * kPerItem; ++i) {
    values.push_back(ArgValue(v[i]));
  }
  return values;
}

template <auto Slot, const char* kName, typename T, size_t kPerItem>
void PP_CALL UniformVector(PP_Resource context, GLint location, GLsizei count, const T* v) {
  WithData<Slot, 2>(kName, Values<T, kPerItem>(count, v), context, location, count, v);
}

template <auto Slot, const char* kName, size_t kPerItem>
void PP_CALL UniformMatrix(PP_Resource context, GLint location, GLsizei count, GLboolean transpose, const GLfloat* v) {
  WithData<Slot, 3>(kName, Values<GLfloat, kPerItem>(count, v), context, location, count, transpose, v);
}

namespace names {
#define PPHOST_NAME(Name) inline constexpr char Name[] = #Name;
PPHOST_GLES2_MEMBERS(PPHOST_NAME)
#undef PPHOST_NAME
}  // namespace names

#define PPHOST_LISTED(Name) #Name,
constexpr const char* kListed[] = {PPHOST_GLES2_MEMBERS(PPHOST_LISTED)};
#undef PPHOST_LISTED
static_assert(std::size(kListed) * sizeof(void (*)()) == sizeof(Gles2), "every member once in gles2_members.h");

// A member and its name, for the templates above.
#define PPHOST_AT(Name) &Gles2::Name, names::Name

Gles2 MakeTable() {
  Gles2 table{};
#define PPHOST_GENERIC(Name) table.Name = &Recorded<decltype(&Gles2::Name)>::template Call<PPHOST_AT(Name)>;
  PPHOST_GLES2_MEMBERS(PPHOST_GENERIC)
#undef PPHOST_GENERIC
  table.ShaderSource = &ShaderSource;
  table.GetShaderiv = &ObjectQuery<PPHOST_AT(GetShaderiv)>;
  table.GetProgramiv = &ObjectQuery<PPHOST_AT(GetProgramiv)>;
  table.GetIntegerv = &GetIntegerv;
  table.GetShaderInfoLog = &InfoLog<PPHOST_AT(GetShaderInfoLog)>;
  table.GetProgramInfoLog = &InfoLog<PPHOST_AT(GetProgramInfoLog)>;
  table.GetString = &GetString;
  table.GenBuffers = &GenObjects<PPHOST_AT(GenBuffers)>;
  table.GenFramebuffers = &GenObjects<PPHOST_AT(GenFramebuffers)>;
  table.GenRenderbuffers = &GenObjects<PPHOST_AT(GenRenderbuffers)>;
  table.GenTextures = &GenObjects<PPHOST_AT(GenTextures)>;
  table.DeleteBuffers = &DeleteObjects<PPHOST_AT(DeleteBuffers)>;
  table.DeleteFramebuffers = &DeleteObjects<PPHOST_AT(DeleteFramebuffers)>;
  table.DeleteRenderbuffers = &DeleteObjects<PPHOST_AT(DeleteRenderbuffers)>;
  table.DeleteTextures = &DeleteObjects<PPHOST_AT(DeleteTextures)>;
  table.TexImage2D = &TexImage2D;
  table.TexSubImage2D = &TexSubImage2D;
  table.BufferData = &BufferData;
  table.BufferSubData = &BufferSubData;
  table.PixelStorei = &PixelStorei;
  table.BindBuffer = &BindBuffer;
  table.EnableVertexAttribArray = &SwitchArray<PPHOST_AT(EnableVertexAttribArray), true>;
  table.DisableVertexAttribArray = &SwitchArray<PPHOST_AT(DisableVertexAttribArray), false>;
  table.VertexAttribPointer = &VertexAttribPointer;
  table.DrawArrays = &DrawArrays;
  table.Uniform1fv = &UniformVector<PPHOST_AT(Uniform1fv), GLfloat, 1>;
  table.Uniform2fv = &UniformVector<PPHOST_AT(Uniform2fv), GLfloat, 2>;
  table.Uniform3fv = &UniformVector<PPHOST_AT(Uniform3fv), GLfloat, 3>;
  table.Uniform4fv = &UniformVector<PPHOST_AT(Uniform4fv), GLfloat, 4>;
  table.Uniform1iv = &UniformVector<PPHOST_AT(Uniform1iv), GLint, 1>;
  table.Uniform2iv = &UniformVector<PPHOST_AT(Uniform2iv), GLint, 2>;
  table.Uniform3iv = &UniformVector<PPHOST_AT(Uniform3iv), GLint, 3>;
  table.Uniform4iv = &UniformVector<PPHOST_AT(Uniform4iv), GLint, 4>;
  table.UniformMatrix2fv = &UniformMatrix<PPHOST_AT(UniformMatrix2fv), 4>;
  table.UniformMatrix3fv = &UniformMatrix<PPHOST_AT(UniformMatrix3fv), 9>;
  table.UniformMatrix4fv = &UniformMatrix<PPHOST_AT(UniformMatrix4fv), 16>;
  return table;
}

#undef PPHOST_AT

}  // namespace

const PPB_OpenGLES2_1_0* RecordedOpenGLES2Interface() {
  static const Gles2 kTable = MakeTable();
  return &kTable;
}

}  // namespace pphost
