#pragma once

#include <optional>
#include <string_view>

#include "devhost/json.h"
#include "devhost/runtime/resource_table.h"
#include "host/ppapi/ppb_input_event.h"

namespace pphost {

// The event class of an input event type (PP_InputEvent_Class bit), 0 for a
// type of no class the host delivers.
uint32_t ClassOf(PP_InputEvent_Type type);

// The page's name of an event type (`mousedown`, `wheel`, `char`, ...).
std::optional<PP_InputEvent_Type> InputTypeFromName(std::string_view name);

// The event an `input` line describes (type, optional x, y and button), at
// `timeStamp`. Throws ScriptError for a bad button.
InputEventData MakeInputEvent(PP_InputEvent_Type type, const Json& line, PP_TimeTicks timeStamp);

}  // namespace pphost
