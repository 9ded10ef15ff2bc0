// Khronos' <GLES2/gl2.h> first, our GLES2 table second: the table must then
// use Khronos' GL types and declare none of its own.

#if defined(__has_include)
#if __has_include(<GLES2/gl2.h>)
#define TWPP_HAVE_GLES2_HEADER 1
#endif
#endif

#if defined(TWPP_HAVE_GLES2_HEADER)

// clang-format off
#include <GLES2/gl2.h>
#include "host/ppapi/ppapi.h"
// clang-format on

#if defined(TWPP_GL_TYPES_DECLARED)
#error "the GLES2 table declared GL types although gl2.h had"
#endif

static_assert(sizeof(PPB_OpenGLES2) == 142 * sizeof(void (*)()), "PPB_OpenGLES2 entry count");

#endif
