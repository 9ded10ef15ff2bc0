#pragma once

#include <GLES2/gl2.h>

#include <cstdint>

#include "devhost/presented_image.h"

namespace pphost {

// The colour content of `framebuffer` (width x height from its origin), rows
// from the top. `opaque` reads every alpha as 255, for a buffer made without
// an alpha channel. The module's framebuffer binding and pack alignment are
// left as they were.
PresentedImage ReadFramebuffer(GLuint framebuffer, int32_t width, int32_t height, bool opaque);

}  // namespace pphost
