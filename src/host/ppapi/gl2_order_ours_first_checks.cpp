// The host includes Khronos' <GLES2/gl2.h> together with the Pepper GLES2
// table. These checks build both include orders when the Khronos header is
// present and require the GL types to be the very same types.

#if defined(__has_include)
#if __has_include(<GLES2/gl2.h>)
#define TWPP_HAVE_GLES2_HEADER 1
#endif
#endif

#if defined(TWPP_HAVE_GLES2_HEADER)

// Our declarations first, Khronos' second: its typedefs must repeat ours.
#include "host/ppapi/ppb_opengles2.h"
// clang-format off
#include <GLES2/gl2.h>
// clang-format on

#include <type_traits>

namespace {

static_assert(std::is_same<GLenum, unsigned int>::value, "GLenum");
static_assert(std::is_same<GLuint, unsigned int>::value, "GLuint");
static_assert(std::is_same<GLint, int>::value, "GLint");
static_assert(std::is_same<GLsizei, int>::value, "GLsizei");
static_assert(std::is_same<GLboolean, unsigned char>::value, "GLboolean");
static_assert(std::is_same<GLbitfield, unsigned int>::value, "GLbitfield");
static_assert(std::is_same<GLubyte, khronos_uint8_t>::value, "GLubyte");
static_assert(std::is_same<GLfloat, khronos_float_t>::value, "GLfloat");
static_assert(std::is_same<GLclampf, khronos_float_t>::value, "GLclampf");
static_assert(std::is_same<GLintptr, khronos_intptr_t>::value, "GLintptr");
static_assert(std::is_same<GLsizeiptr, khronos_ssize_t>::value, "GLsizeiptr");

// Each table entry has the GL function's own parameter list after the context.
static_assert(
    std::is_same<decltype(PPB_OpenGLES2_1_0::TexImage2D), void (*)(PP_Resource, GLenum, GLint, GLint, GLsizei, GLsizei,
                                                                   GLint, GLenum, GLenum, const void*)>::value,
    "TexImage2D");
static_assert(std::is_same<decltype(PPB_OpenGLES2_1_0::BufferData),
                           void (*)(PP_Resource, GLenum, GLsizeiptr, const void*, GLenum)>::value,
              "BufferData");

}  // namespace

#endif
