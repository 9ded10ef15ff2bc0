#pragma once

#include <cstdint>

#include "host/instance.h"
#include "host/ppapi/ppb_mouse_cursor.h"  // the PP_MOUSECURSOR_TYPE_* values

namespace TALLWICK_PP_RENDER {

// Sets the host's stock cursor `cursorType` over a render role's element:
// kErrorNone, or kErrorSetCursor when the role has no instance or the host
// refuses. The type goes to the host as it is.
int32_t SetElementCursor(pp::Instance* instance, int32_t cursorType);

}  // namespace TALLWICK_PP_RENDER
