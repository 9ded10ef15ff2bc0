#include "devhost/browser/input_event_class.h"

namespace pphost {

uint32_t ClassOf(PP_InputEvent_Type type) {
  switch (type) {
    case PP_INPUTEVENT_TYPE_MOUSEDOWN:
    case PP_INPUTEVENT_TYPE_MOUSEUP:
    case PP_INPUTEVENT_TYPE_MOUSEMOVE:
    case PP_INPUTEVENT_TYPE_MOUSEENTER:
    case PP_INPUTEVENT_TYPE_MOUSELEAVE:
    case PP_INPUTEVENT_TYPE_CONTEXTMENU:
      return PP_INPUTEVENT_CLASS_MOUSE;
    case PP_INPUTEVENT_TYPE_WHEEL:
      return PP_INPUTEVENT_CLASS_WHEEL;
    case PP_INPUTEVENT_TYPE_RAWKEYDOWN:
    case PP_INPUTEVENT_TYPE_KEYDOWN:
    case PP_INPUTEVENT_TYPE_KEYUP:
    case PP_INPUTEVENT_TYPE_CHAR:
      return PP_INPUTEVENT_CLASS_KEYBOARD;
    default:
      return 0;
  }
}

}  // namespace pphost
