#pragma once

#include <cstdint>

#include "devhost/gl/gl_api.h"
#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The colour content of `rect` of `framebuffer`, whose colour buffer is
// `bufferHeight` rows high; `rect` counts rows from the top and must lie on
// the buffer. Rows come from the top. `opaque` reads every alpha as 255, for
// a buffer made without an alpha channel. The module's framebuffer binding
// and pack alignment are left as they were.
PresentedImage ReadFramebuffer(GLuint framebuffer, int32_t bufferHeight, const PP_Rect& rect, bool opaque);

}  // namespace pphost
