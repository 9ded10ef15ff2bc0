#pragma once

// Desktop OpenGL on Windows, for the host's GL code (included through
// gl_api.h only). opengl32 exports the functions of OpenGL 1.1; every later
// one the host calls (OpenGL 2.0's shaders and buffers, the framebuffer
// objects of OpenGL 3.0, the OpenGL ES 2.0 calls of GL_ARB_ES2_compatibility)
// comes from the driver through wglGetProcAddress. Each of those is a
// variable of namespace pphost named as the function, so that `glFoo(...)`
// and `&glFoo` read as they do with OpenGL ES 2.0's headers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

// OpenGL ES's name for GL's calling convention (__stdcall on 32-bit Windows).
#ifndef GL_APIENTRY
#define GL_APIENTRY APIENTRY
#endif

// X(TYPE, Name): glName, of type PFNGL<TYPE>PROC.
#define PPHOST_LOADED_GL_FUNCTIONS(X)                                         \
  X(ACTIVETEXTURE, ActiveTexture)                                             \
  X(ATTACHSHADER, AttachShader)                                               \
  X(BINDATTRIBLOCATION, BindAttribLocation)                                   \
  X(BINDBUFFER, BindBuffer)                                                   \
  X(BINDFRAMEBUFFER, BindFramebuffer)                                         \
  X(BINDRENDERBUFFER, BindRenderbuffer)                                       \
  X(BLENDCOLOR, BlendColor)                                                   \
  X(BLENDEQUATION, BlendEquation)                                             \
  X(BLENDEQUATIONSEPARATE, BlendEquationSeparate)                             \
  X(BLENDFUNCSEPARATE, BlendFuncSeparate)                                     \
  X(BUFFERDATA, BufferData)                                                   \
  X(BUFFERSUBDATA, BufferSubData)                                             \
  X(CHECKFRAMEBUFFERSTATUS, CheckFramebufferStatus)                           \
  X(CLEARDEPTHF, ClearDepthf)                                                 \
  X(COMPILESHADER, CompileShader)                                             \
  X(COMPRESSEDTEXIMAGE2D, CompressedTexImage2D)                               \
  X(COMPRESSEDTEXSUBIMAGE2D, CompressedTexSubImage2D)                         \
  X(CREATEPROGRAM, CreateProgram)                                             \
  X(CREATESHADER, CreateShader)                                               \
  X(DELETEBUFFERS, DeleteBuffers)                                             \
  X(DELETEFRAMEBUFFERS, DeleteFramebuffers)                                   \
  X(DELETEPROGRAM, DeleteProgram)                                             \
  X(DELETERENDERBUFFERS, DeleteRenderbuffers)                                 \
  X(DELETESHADER, DeleteShader)                                               \
  X(DEPTHRANGEF, DepthRangef)                                                 \
  X(DETACHSHADER, DetachShader)                                               \
  X(DISABLEVERTEXATTRIBARRAY, DisableVertexAttribArray)                       \
  X(ENABLEVERTEXATTRIBARRAY, EnableVertexAttribArray)                         \
  X(FRAMEBUFFERRENDERBUFFER, FramebufferRenderbuffer)                         \
  X(FRAMEBUFFERTEXTURE2D, FramebufferTexture2D)                               \
  X(GENBUFFERS, GenBuffers)                                                   \
  X(GENFRAMEBUFFERS, GenFramebuffers)                                         \
  X(GENRENDERBUFFERS, GenRenderbuffers)                                       \
  X(GENERATEMIPMAP, GenerateMipmap)                                           \
  X(GETACTIVEATTRIB, GetActiveAttrib)                                         \
  X(GETACTIVEUNIFORM, GetActiveUniform)                                       \
  X(GETATTACHEDSHADERS, GetAttachedShaders)                                   \
  X(GETATTRIBLOCATION, GetAttribLocation)                                     \
  X(GETBUFFERPARAMETERIV, GetBufferParameteriv)                               \
  X(GETFRAMEBUFFERATTACHMENTPARAMETERIV, GetFramebufferAttachmentParameteriv) \
  X(GETPROGRAMINFOLOG, GetProgramInfoLog)                                     \
  X(GETPROGRAMIV, GetProgramiv)                                               \
  X(GETRENDERBUFFERPARAMETERIV, GetRenderbufferParameteriv)                   \
  X(GETSHADERINFOLOG, GetShaderInfoLog)                                       \
  X(GETSHADERPRECISIONFORMAT, GetShaderPrecisionFormat)                       \
  X(GETSHADERSOURCE, GetShaderSource)                                         \
  X(GETSHADERIV, GetShaderiv)                                                 \
  X(GETUNIFORMLOCATION, GetUniformLocation)                                   \
  X(GETUNIFORMFV, GetUniformfv)                                               \
  X(GETUNIFORMIV, GetUniformiv)                                               \
  X(GETVERTEXATTRIBPOINTERV, GetVertexAttribPointerv)                         \
  X(GETVERTEXATTRIBFV, GetVertexAttribfv)                                     \
  X(GETVERTEXATTRIBIV, GetVertexAttribiv)                                     \
  X(ISBUFFER, IsBuffer)                                                       \
  X(ISFRAMEBUFFER, IsFramebuffer)                                             \
  X(ISPROGRAM, IsProgram)                                                     \
  X(ISRENDERBUFFER, IsRenderbuffer)                                           \
  X(ISSHADER, IsShader)                                                       \
  X(LINKPROGRAM, LinkProgram)                                                 \
  X(RELEASESHADERCOMPILER, ReleaseShaderCompiler)                             \
  X(RENDERBUFFERSTORAGE, RenderbufferStorage)                                 \
  X(SAMPLECOVERAGE, SampleCoverage)                                           \
  X(SHADERBINARY, ShaderBinary)                                               \
  X(SHADERSOURCE, ShaderSource)                                               \
  X(STENCILFUNCSEPARATE, StencilFuncSeparate)                                 \
  X(STENCILMASKSEPARATE, StencilMaskSeparate)                                 \
  X(STENCILOPSEPARATE, StencilOpSeparate)                                     \
  X(UNIFORM1F, Uniform1f)                                                     \
  X(UNIFORM1FV, Uniform1fv)                                                   \
  X(UNIFORM1I, Uniform1i)                                                     \
  X(UNIFORM1IV, Uniform1iv)                                                   \
  X(UNIFORM2F, Uniform2f)                                                     \
  X(UNIFORM2FV, Uniform2fv)                                                   \
  X(UNIFORM2I, Uniform2i)                                                     \
  X(UNIFORM2IV, Uniform2iv)                                                   \
  X(UNIFORM3F, Uniform3f)                                                     \
  X(UNIFORM3FV, Uniform3fv)                                                   \
  X(UNIFORM3I, Uniform3i)                                                     \
  X(UNIFORM3IV, Uniform3iv)                                                   \
  X(UNIFORM4F, Uniform4f)                                                     \
  X(UNIFORM4FV, Uniform4fv)                                                   \
  X(UNIFORM4I, Uniform4i)                                                     \
  X(UNIFORM4IV, Uniform4iv)                                                   \
  X(UNIFORMMATRIX2FV, UniformMatrix2fv)                                       \
  X(UNIFORMMATRIX3FV, UniformMatrix3fv)                                       \
  X(UNIFORMMATRIX4FV, UniformMatrix4fv)                                       \
  X(USEPROGRAM, UseProgram)                                                   \
  X(VALIDATEPROGRAM, ValidateProgram)                                         \
  X(VERTEXATTRIB1F, VertexAttrib1f)                                           \
  X(VERTEXATTRIB1FV, VertexAttrib1fv)                                         \
  X(VERTEXATTRIB2F, VertexAttrib2f)                                           \
  X(VERTEXATTRIB2FV, VertexAttrib2fv)                                         \
  X(VERTEXATTRIB3F, VertexAttrib3f)                                           \
  X(VERTEXATTRIB3FV, VertexAttrib3fv)                                         \
  X(VERTEXATTRIB4F, VertexAttrib4f)                                           \
  X(VERTEXATTRIB4FV, VertexAttrib4fv)                                         \
  X(VERTEXATTRIBPOINTER, VertexAttribPointer)

namespace pphost {

#define PPHOST_DECLARE_LOADED_GL(TYPE, Name) extern PFNGL##TYPE##PROC gl##Name;
PPHOST_LOADED_GL_FUNCTIONS(PPHOST_DECLARE_LOADED_GL)
#undef PPHOST_DECLARE_LOADED_GL

// Loads every function above from the driver of the current context. False
// when one is missing, named in `missing`. The functions then serve every
// context of the same pixel format on the same device: the host's contexts
// all have one.
bool LoadGlFunctions(std::string& missing);

}  // namespace pphost
