#pragma once

#include <optional>
#include <string_view>

#include "devhost/json.h"
#include "devhost/runtime/resource_table.h"
#include "host/ppapi/ppb_input_event.h"

namespace pphost {

// The page's name of an event type (`mousedown`, `wheel`, `char`, ...).
std::optional<PP_InputEvent_Type> InputTypeFromName(std::string_view name);

// The event an `input` line describes (type, optional x, y and button), at
// `timeStamp`. Throws ScriptError for a bad button.
InputEventData MakeInputEvent(PP_InputEvent_Type type, const Json& line, PP_TimeTicks timeStamp);

}  // namespace pphost
