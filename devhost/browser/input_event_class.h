#pragma once

#include <cstdint>

#include "host/ppapi/ppb_input_event.h"

namespace pphost {

// The event class of an input event type (PP_InputEvent_Class bit), 0 for a
// type of no class the host delivers.
uint32_t ClassOf(PP_InputEvent_Type type);

}  // namespace pphost
