#pragma once

/*
 * "PPB_OpenGLES2": OpenGL ES 2.0 as a table of functions that each take the
 * PPB_Graphics3D context they draw with as their first argument, plus the
 * optional extension tables a GLES2 binding may look up.
 *
 * The core table lists the 142 OpenGL ES 2.0 entry points in the order of
 * the public interface (alphabetical by GL name, as in Khronos' gl2.h).
 */

#include "host/ppapi/pp_types.h"

#define PPB_OPENGLES2_INTERFACE_1_0 "PPB_OpenGLES2;1.0"
#define PPB_OPENGLES2_INTERFACE PPB_OPENGLES2_INTERFACE_1_0

#define PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE_1_0 "PPB_OpenGLES2InstancedArrays;1.0"
#define PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE_1_0
#define PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE_1_0 "PPB_OpenGLES2FramebufferBlit;1.0"
#define PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE_1_0
#define PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE_1_0 "PPB_OpenGLES2FramebufferMultisample;1.0"
#define PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE_1_0
#define PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE_1_0 "PPB_OpenGLES2ChromiumEnableFeature;1.0"
#define PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE_1_0
#define PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE_1_0 "PPB_OpenGLES2ChromiumMapSub;1.0"
#define PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE_1_0
#define PPB_OPENGLES2_QUERY_INTERFACE_1_0 "PPB_OpenGLES2Query;1.0"
#define PPB_OPENGLES2_QUERY_INTERFACE PPB_OPENGLES2_QUERY_INTERFACE_1_0
#define PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE_1_0 "PPB_OpenGLES2VertexArrayObject;1.0"
#define PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE_1_0
#define PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE_1_0 "PPB_OpenGLES2DrawBuffers(Dev);1.0"
#define PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE_1_0

/*
 * GL scalar types. When Khronos' <GLES2/gl2.h> came first it has declared
 * them already. Otherwise they are declared here as exactly the types
 * <KHR/khrplatform.h> picks, so that a later <GLES2/gl2.h> only repeats
 * identical typedefs, which C++ and C11 accept: the host includes both.
 */
#if !defined(__gles2_gl2_h_) && !defined(__gl2_h_) && !defined(TWPP_GL_TYPES_DECLARED)
#define TWPP_GL_TYPES_DECLARED 1
typedef void GLvoid;
typedef char GLchar;
typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef int GLfixed;
/* Pointer-sized: `long` except where pointers are wider than long
   (64-bit Windows), as khrplatform.h decides. */
#if defined(__SIZEOF_POINTER__) && defined(__SIZEOF_LONG__) && __SIZEOF_POINTER__ > __SIZEOF_LONG__
typedef intptr_t GLintptr;
#elif defined(_WIN64)
typedef long long GLintptr;
#else
typedef long GLintptr;
#endif
#if defined(_WIN64)
typedef long long GLsizeiptr;
#else
typedef long GLsizeiptr;
#endif
#endif

struct PPB_OpenGLES2_1_0 {
  void(PP_CALL* ActiveTexture)(PP_Resource context, GLenum texture);
  void(PP_CALL* AttachShader)(PP_Resource context, GLuint program, GLuint shader);
  void(PP_CALL* BindAttribLocation)(PP_Resource context, GLuint program, GLuint index, const char* name);
  void(PP_CALL* BindBuffer)(PP_Resource context, GLenum target, GLuint buffer);
  void(PP_CALL* BindFramebuffer)(PP_Resource context, GLenum target, GLuint framebuffer);
  void(PP_CALL* BindRenderbuffer)(PP_Resource context, GLenum target, GLuint renderbuffer);
  void(PP_CALL* BindTexture)(PP_Resource context, GLenum target, GLuint texture);
  void(PP_CALL* BlendColor)(PP_Resource context, GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
  void(PP_CALL* BlendEquation)(PP_Resource context, GLenum mode);
  void(PP_CALL* BlendEquationSeparate)(PP_Resource context, GLenum modeRGB, GLenum modeAlpha);
  void(PP_CALL* BlendFunc)(PP_Resource context, GLenum sfactor, GLenum dfactor);
  void(PP_CALL* BlendFuncSeparate)(PP_Resource context, GLenum srcRGB, GLenum dstRGB, GLenum srcAlpha, GLenum dstAlpha);
  void(PP_CALL* BufferData)(PP_Resource context, GLenum target, GLsizeiptr size, const void* data, GLenum usage);
  void(PP_CALL* BufferSubData)(PP_Resource context, GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
  GLenum(PP_CALL* CheckFramebufferStatus)(PP_Resource context, GLenum target);
  void(PP_CALL* Clear)(PP_Resource context, GLbitfield mask);
  void(PP_CALL* ClearColor)(PP_Resource context, GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
  void(PP_CALL* ClearDepthf)(PP_Resource context, GLclampf depth);
  void(PP_CALL* ClearStencil)(PP_Resource context, GLint s);
  void(PP_CALL* ColorMask)(PP_Resource context, GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha);
  void(PP_CALL* CompileShader)(PP_Resource context, GLuint shader);
  void(PP_CALL* CompressedTexImage2D)(PP_Resource context, GLenum target, GLint level, GLenum internalformat,
                                      GLsizei width, GLsizei height, GLint border, GLsizei imageSize, const void* data);
  void(PP_CALL* CompressedTexSubImage2D)(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset,
                                         GLsizei width, GLsizei height, GLenum format, GLsizei imageSize,
                                         const void* data);
  void(PP_CALL* CopyTexImage2D)(PP_Resource context, GLenum target, GLint level, GLenum internalformat, GLint x,
                                GLint y, GLsizei width, GLsizei height, GLint border);
  void(PP_CALL* CopyTexSubImage2D)(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset,
                                   GLint x, GLint y, GLsizei width, GLsizei height);
  GLuint(PP_CALL* CreateProgram)(PP_Resource context);
  GLuint(PP_CALL* CreateShader)(PP_Resource context, GLenum type);
  void(PP_CALL* CullFace)(PP_Resource context, GLenum mode);
  void(PP_CALL* DeleteBuffers)(PP_Resource context, GLsizei n, const GLuint* buffers);
  void(PP_CALL* DeleteFramebuffers)(PP_Resource context, GLsizei n, const GLuint* framebuffers);
  void(PP_CALL* DeleteProgram)(PP_Resource context, GLuint program);
  void(PP_CALL* DeleteRenderbuffers)(PP_Resource context, GLsizei n, const GLuint* renderbuffers);
  void(PP_CALL* DeleteShader)(PP_Resource context, GLuint shader);
  void(PP_CALL* DeleteTextures)(PP_Resource context, GLsizei n, const GLuint* textures);
  void(PP_CALL* DepthFunc)(PP_Resource context, GLenum func);
  void(PP_CALL* DepthMask)(PP_Resource context, GLboolean flag);
  void(PP_CALL* DepthRangef)(PP_Resource context, GLclampf zNear, GLclampf zFar);
  void(PP_CALL* DetachShader)(PP_Resource context, GLuint program, GLuint shader);
  void(PP_CALL* Disable)(PP_Resource context, GLenum cap);
  void(PP_CALL* DisableVertexAttribArray)(PP_Resource context, GLuint index);
  void(PP_CALL* DrawArrays)(PP_Resource context, GLenum mode, GLint first, GLsizei count);
  void(PP_CALL* DrawElements)(PP_Resource context, GLenum mode, GLsizei count, GLenum type, const void* indices);
  void(PP_CALL* Enable)(PP_Resource context, GLenum cap);
  void(PP_CALL* EnableVertexAttribArray)(PP_Resource context, GLuint index);
  void(PP_CALL* Finish)(PP_Resource context);
  void(PP_CALL* Flush)(PP_Resource context);
  void(PP_CALL* FramebufferRenderbuffer)(PP_Resource context, GLenum target, GLenum attachment,
                                         GLenum renderbuffertarget, GLuint renderbuffer);
  void(PP_CALL* FramebufferTexture2D)(PP_Resource context, GLenum target, GLenum attachment, GLenum textarget,
                                      GLuint texture, GLint level);
  void(PP_CALL* FrontFace)(PP_Resource context, GLenum mode);
  void(PP_CALL* GenBuffers)(PP_Resource context, GLsizei n, GLuint* buffers);
  void(PP_CALL* GenerateMipmap)(PP_Resource context, GLenum target);
  void(PP_CALL* GenFramebuffers)(PP_Resource context, GLsizei n, GLuint* framebuffers);
  void(PP_CALL* GenRenderbuffers)(PP_Resource context, GLsizei n, GLuint* renderbuffers);
  void(PP_CALL* GenTextures)(PP_Resource context, GLsizei n, GLuint* textures);
  void(PP_CALL* GetActiveAttrib)(PP_Resource context, GLuint program, GLuint index, GLsizei bufsize, GLsizei* length,
                                 GLint* size, GLenum* type, char* name);
  void(PP_CALL* GetActiveUniform)(PP_Resource context, GLuint program, GLuint index, GLsizei bufsize, GLsizei* length,
                                  GLint* size, GLenum* type, char* name);
  void(PP_CALL* GetAttachedShaders)(PP_Resource context, GLuint program, GLsizei maxcount, GLsizei* count,
                                    GLuint* shaders);
  GLint(PP_CALL* GetAttribLocation)(PP_Resource context, GLuint program, const char* name);
  void(PP_CALL* GetBooleanv)(PP_Resource context, GLenum pname, GLboolean* params);
  void(PP_CALL* GetBufferParameteriv)(PP_Resource context, GLenum target, GLenum pname, GLint* params);
  GLenum(PP_CALL* GetError)(PP_Resource context);
  void(PP_CALL* GetFloatv)(PP_Resource context, GLenum pname, GLfloat* params);
  void(PP_CALL* GetFramebufferAttachmentParameteriv)(PP_Resource context, GLenum target, GLenum attachment,
                                                     GLenum pname, GLint* params);
  void(PP_CALL* GetIntegerv)(PP_Resource context, GLenum pname, GLint* params);
  void(PP_CALL* GetProgramiv)(PP_Resource context, GLuint program, GLenum pname, GLint* params);
  void(PP_CALL* GetProgramInfoLog)(PP_Resource context, GLuint program, GLsizei bufsize, GLsizei* length,
                                   char* infolog);
  void(PP_CALL* GetRenderbufferParameteriv)(PP_Resource context, GLenum target, GLenum pname, GLint* params);
  void(PP_CALL* GetShaderiv)(PP_Resource context, GLuint shader, GLenum pname, GLint* params);
  void(PP_CALL* GetShaderInfoLog)(PP_Resource context, GLuint shader, GLsizei bufsize, GLsizei* length, char* infolog);
  void(PP_CALL* GetShaderPrecisionFormat)(PP_Resource context, GLenum shadertype, GLenum precisiontype, GLint* range,
                                          GLint* precision);
  void(PP_CALL* GetShaderSource)(PP_Resource context, GLuint shader, GLsizei bufsize, GLsizei* length, char* source);
  const GLubyte*(PP_CALL* GetString)(PP_Resource context, GLenum name);
  void(PP_CALL* GetTexParameterfv)(PP_Resource context, GLenum target, GLenum pname, GLfloat* params);
  void(PP_CALL* GetTexParameteriv)(PP_Resource context, GLenum target, GLenum pname, GLint* params);
  void(PP_CALL* GetUniformfv)(PP_Resource context, GLuint program, GLint location, GLfloat* params);
  void(PP_CALL* GetUniformiv)(PP_Resource context, GLuint program, GLint location, GLint* params);
  GLint(PP_CALL* GetUniformLocation)(PP_Resource context, GLuint program, const char* name);
  void(PP_CALL* GetVertexAttribfv)(PP_Resource context, GLuint index, GLenum pname, GLfloat* params);
  void(PP_CALL* GetVertexAttribiv)(PP_Resource context, GLuint index, GLenum pname, GLint* params);
  void(PP_CALL* GetVertexAttribPointerv)(PP_Resource context, GLuint index, GLenum pname, void** pointer);
  void(PP_CALL* Hint)(PP_Resource context, GLenum target, GLenum mode);
  GLboolean(PP_CALL* IsBuffer)(PP_Resource context, GLuint buffer);
  GLboolean(PP_CALL* IsEnabled)(PP_Resource context, GLenum cap);
  GLboolean(PP_CALL* IsFramebuffer)(PP_Resource context, GLuint framebuffer);
  GLboolean(PP_CALL* IsProgram)(PP_Resource context, GLuint program);
  GLboolean(PP_CALL* IsRenderbuffer)(PP_Resource context, GLuint renderbuffer);
  GLboolean(PP_CALL* IsShader)(PP_Resource context, GLuint shader);
  GLboolean(PP_CALL* IsTexture)(PP_Resource context, GLuint texture);
  void(PP_CALL* LineWidth)(PP_Resource context, GLfloat width);
  void(PP_CALL* LinkProgram)(PP_Resource context, GLuint program);
  void(PP_CALL* PixelStorei)(PP_Resource context, GLenum pname, GLint param);
  void(PP_CALL* PolygonOffset)(PP_Resource context, GLfloat factor, GLfloat units);
  void(PP_CALL* ReadPixels)(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                            GLenum type, void* pixels);
  void(PP_CALL* ReleaseShaderCompiler)(PP_Resource context);
  void(PP_CALL* RenderbufferStorage)(PP_Resource context, GLenum target, GLenum internalformat, GLsizei width,
                                     GLsizei height);
  void(PP_CALL* SampleCoverage)(PP_Resource context, GLclampf value, GLboolean invert);
  void(PP_CALL* Scissor)(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height);
  void(PP_CALL* ShaderBinary)(PP_Resource context, GLsizei n, const GLuint* shaders, GLenum binaryformat,
                              const void* binary, GLsizei length);
  void(PP_CALL* ShaderSource)(PP_Resource context, GLuint shader, GLsizei count, const char** str, const GLint* length);
  void(PP_CALL* StencilFunc)(PP_Resource context, GLenum func, GLint ref, GLuint mask);
  void(PP_CALL* StencilFuncSeparate)(PP_Resource context, GLenum face, GLenum func, GLint ref, GLuint mask);
  void(PP_CALL* StencilMask)(PP_Resource context, GLuint mask);
  void(PP_CALL* StencilMaskSeparate)(PP_Resource context, GLenum face, GLuint mask);
  void(PP_CALL* StencilOp)(PP_Resource context, GLenum fail, GLenum zfail, GLenum zpass);
  void(PP_CALL* StencilOpSeparate)(PP_Resource context, GLenum face, GLenum fail, GLenum zfail, GLenum zpass);
  void(PP_CALL* TexImage2D)(PP_Resource context, GLenum target, GLint level, GLint internalformat, GLsizei width,
                            GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels);
  void(PP_CALL* TexParameterf)(PP_Resource context, GLenum target, GLenum pname, GLfloat param);
  void(PP_CALL* TexParameterfv)(PP_Resource context, GLenum target, GLenum pname, const GLfloat* params);
  void(PP_CALL* TexParameteri)(PP_Resource context, GLenum target, GLenum pname, GLint param);
  void(PP_CALL* TexParameteriv)(PP_Resource context, GLenum target, GLenum pname, const GLint* params);
  void(PP_CALL* TexSubImage2D)(PP_Resource context, GLenum target, GLint level, GLint xoffset, GLint yoffset,
                               GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels);
  void(PP_CALL* Uniform1f)(PP_Resource context, GLint location, GLfloat x);
  void(PP_CALL* Uniform1fv)(PP_Resource context, GLint location, GLsizei count, const GLfloat* v);
  void(PP_CALL* Uniform1i)(PP_Resource context, GLint location, GLint x);
  void(PP_CALL* Uniform1iv)(PP_Resource context, GLint location, GLsizei count, const GLint* v);
  void(PP_CALL* Uniform2f)(PP_Resource context, GLint location, GLfloat x, GLfloat y);
  void(PP_CALL* Uniform2fv)(PP_Resource context, GLint location, GLsizei count, const GLfloat* v);
  void(PP_CALL* Uniform2i)(PP_Resource context, GLint location, GLint x, GLint y);
  void(PP_CALL* Uniform2iv)(PP_Resource context, GLint location, GLsizei count, const GLint* v);
  void(PP_CALL* Uniform3f)(PP_Resource context, GLint location, GLfloat x, GLfloat y, GLfloat z);
  void(PP_CALL* Uniform3fv)(PP_Resource context, GLint location, GLsizei count, const GLfloat* v);
  void(PP_CALL* Uniform3i)(PP_Resource context, GLint location, GLint x, GLint y, GLint z);
  void(PP_CALL* Uniform3iv)(PP_Resource context, GLint location, GLsizei count, const GLint* v);
  void(PP_CALL* Uniform4f)(PP_Resource context, GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w);
  void(PP_CALL* Uniform4fv)(PP_Resource context, GLint location, GLsizei count, const GLfloat* v);
  void(PP_CALL* Uniform4i)(PP_Resource context, GLint location, GLint x, GLint y, GLint z, GLint w);
  void(PP_CALL* Uniform4iv)(PP_Resource context, GLint location, GLsizei count, const GLint* v);
  void(PP_CALL* UniformMatrix2fv)(PP_Resource context, GLint location, GLsizei count, GLboolean transpose,
                                  const GLfloat* value);
  void(PP_CALL* UniformMatrix3fv)(PP_Resource context, GLint location, GLsizei count, GLboolean transpose,
                                  const GLfloat* value);
  void(PP_CALL* UniformMatrix4fv)(PP_Resource context, GLint location, GLsizei count, GLboolean transpose,
                                  const GLfloat* value);
  void(PP_CALL* UseProgram)(PP_Resource context, GLuint program);
  void(PP_CALL* ValidateProgram)(PP_Resource context, GLuint program);
  void(PP_CALL* VertexAttrib1f)(PP_Resource context, GLuint indx, GLfloat x);
  void(PP_CALL* VertexAttrib1fv)(PP_Resource context, GLuint indx, const GLfloat* values);
  void(PP_CALL* VertexAttrib2f)(PP_Resource context, GLuint indx, GLfloat x, GLfloat y);
  void(PP_CALL* VertexAttrib2fv)(PP_Resource context, GLuint indx, const GLfloat* values);
  void(PP_CALL* VertexAttrib3f)(PP_Resource context, GLuint indx, GLfloat x, GLfloat y, GLfloat z);
  void(PP_CALL* VertexAttrib3fv)(PP_Resource context, GLuint indx, const GLfloat* values);
  void(PP_CALL* VertexAttrib4f)(PP_Resource context, GLuint indx, GLfloat x, GLfloat y, GLfloat z, GLfloat w);
  void(PP_CALL* VertexAttrib4fv)(PP_Resource context, GLuint indx, const GLfloat* values);
  void(PP_CALL* VertexAttribPointer)(PP_Resource context, GLuint indx, GLint size, GLenum type, GLboolean normalized,
                                     GLsizei stride, const void* ptr);
  void(PP_CALL* Viewport)(PP_Resource context, GLint x, GLint y, GLsizei width, GLsizei height);
};

/* The public header spells the unversioned name as a second, identical
   struct; a typedef gives the same layout. */
typedef struct PPB_OpenGLES2_1_0 PPB_OpenGLES2;

/* PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE: ANGLE_instanced_arrays. */
struct PPB_OpenGLES2InstancedArrays_1_0 {
  void(PP_CALL* DrawArraysInstancedANGLE)(PP_Resource context, GLenum mode, GLint first, GLsizei count,
                                          GLsizei primcount);
  void(PP_CALL* DrawElementsInstancedANGLE)(PP_Resource context, GLenum mode, GLsizei count, GLenum type,
                                            const void* indices, GLsizei primcount);
  void(PP_CALL* VertexAttribDivisorANGLE)(PP_Resource context, GLuint index, GLuint divisor);
};

typedef struct PPB_OpenGLES2InstancedArrays_1_0 PPB_OpenGLES2InstancedArrays;

/* PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE: Framebuffer blits. */
struct PPB_OpenGLES2FramebufferBlit_1_0 {
  void(PP_CALL* BlitFramebufferEXT)(PP_Resource context, GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1,
                                    GLint dstX0, GLint dstY0, GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter);
};

typedef struct PPB_OpenGLES2FramebufferBlit_1_0 PPB_OpenGLES2FramebufferBlit;

/* PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE: Multisampled renderbuffers. */
struct PPB_OpenGLES2FramebufferMultisample_1_0 {
  void(PP_CALL* RenderbufferStorageMultisampleEXT)(PP_Resource context, GLenum target, GLsizei samples,
                                                   GLenum internalformat, GLsizei width, GLsizei height);
};

typedef struct PPB_OpenGLES2FramebufferMultisample_1_0 PPB_OpenGLES2FramebufferMultisample;

/* PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE: Chromium feature switches. */
struct PPB_OpenGLES2ChromiumEnableFeature_1_0 {
  GLboolean(PP_CALL* EnableFeatureCHROMIUM)(PP_Resource context, const char* feature);
};

typedef struct PPB_OpenGLES2ChromiumEnableFeature_1_0 PPB_OpenGLES2ChromiumEnableFeature;

/* PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE: Chromium mapped buffer and texture uploads. */
struct PPB_OpenGLES2ChromiumMapSub_1_0 {
  void*(PP_CALL* MapBufferSubDataCHROMIUM)(PP_Resource context, GLuint target, GLintptr offset, GLsizeiptr size,
                                           GLenum access);
  void(PP_CALL* UnmapBufferSubDataCHROMIUM)(PP_Resource context, const void* mem);
  void*(PP_CALL* MapTexSubImage2DCHROMIUM)(PP_Resource context, GLenum target, GLint level, GLint xoffset,
                                           GLint yoffset, GLsizei width, GLsizei height, GLenum format, GLenum type,
                                           GLenum access);
  void(PP_CALL* UnmapTexSubImage2DCHROMIUM)(PP_Resource context, const void* mem);
};

typedef struct PPB_OpenGLES2ChromiumMapSub_1_0 PPB_OpenGLES2ChromiumMapSub;

/* PPB_OPENGLES2_QUERY_INTERFACE: Query objects. */
struct PPB_OpenGLES2Query_1_0 {
  void(PP_CALL* GenQueriesEXT)(PP_Resource context, GLsizei n, GLuint* queries);
  void(PP_CALL* DeleteQueriesEXT)(PP_Resource context, GLsizei n, const GLuint* queries);
  GLboolean(PP_CALL* IsQueryEXT)(PP_Resource context, GLuint id);
  void(PP_CALL* BeginQueryEXT)(PP_Resource context, GLenum target, GLuint id);
  void(PP_CALL* EndQueryEXT)(PP_Resource context, GLenum target);
  void(PP_CALL* GetQueryivEXT)(PP_Resource context, GLenum target, GLenum pname, GLint* params);
  void(PP_CALL* GetQueryObjectuivEXT)(PP_Resource context, GLuint id, GLenum pname, GLuint* params);
};

typedef struct PPB_OpenGLES2Query_1_0 PPB_OpenGLES2Query;

/* PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE: OES_vertex_array_object. */
struct PPB_OpenGLES2VertexArrayObject_1_0 {
  void(PP_CALL* GenVertexArraysOES)(PP_Resource context, GLsizei n, GLuint* arrays);
  void(PP_CALL* DeleteVertexArraysOES)(PP_Resource context, GLsizei n, const GLuint* arrays);
  GLboolean(PP_CALL* IsVertexArrayOES)(PP_Resource context, GLuint array);
  void(PP_CALL* BindVertexArrayOES)(PP_Resource context, GLuint array);
};

typedef struct PPB_OpenGLES2VertexArrayObject_1_0 PPB_OpenGLES2VertexArrayObject;

/* PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE: EXT_draw_buffers (a "Dev" interface). */
struct PPB_OpenGLES2DrawBuffers_Dev_1_0 {
  void(PP_CALL* DrawBuffersEXT)(PP_Resource context, GLsizei count, const GLenum* bufs);
};

typedef struct PPB_OpenGLES2DrawBuffers_Dev_1_0 PPB_OpenGLES2DrawBuffers_Dev;
