#include "devhost/page/input_events.h"

#include <array>
#include <utility>

#include "devhost/browser/input_event_class.h"
#include "devhost/page/script_fields.h"

namespace pphost {

namespace {

struct NamedType {
  std::string_view name;
  PP_InputEvent_Type type;
};

constexpr std::array<NamedType, 10> kTypes = {{
    {"mousedown", PP_INPUTEVENT_TYPE_MOUSEDOWN},
    {"mouseup", PP_INPUTEVENT_TYPE_MOUSEUP},
    {"mousemove", PP_INPUTEVENT_TYPE_MOUSEMOVE},
    {"mouseenter", PP_INPUTEVENT_TYPE_MOUSEENTER},
    {"mouseleave", PP_INPUTEVENT_TYPE_MOUSELEAVE},
    {"contextmenu", PP_INPUTEVENT_TYPE_CONTEXTMENU},
    {"wheel", PP_INPUTEVENT_TYPE_WHEEL},
    {"keydown", PP_INPUTEVENT_TYPE_KEYDOWN},
    {"keyup", PP_INPUTEVENT_TYPE_KEYUP},
    {"char", PP_INPUTEVENT_TYPE_CHAR},
}};

bool PressesButton(PP_InputEvent_Type type) {
  return type == PP_INPUTEVENT_TYPE_MOUSEDOWN || type == PP_INPUTEVENT_TYPE_MOUSEUP;
}

// `button` is 0, 1, 2 or "left", "middle", "right"; a press without one is
// the left button.
PP_InputEvent_MouseButton ButtonOf(PP_InputEvent_Type type, const Json& line) {
  const Json* button = OptionalField(line, "button");
  if (button == nullptr) return PressesButton(type) ? PP_INPUTEVENT_MOUSEBUTTON_LEFT : PP_INPUTEVENT_MOUSEBUTTON_NONE;
  static constexpr std::array<std::pair<std::string_view, PP_InputEvent_MouseButton>, 3> kButtons = {{
      {"left", PP_INPUTEVENT_MOUSEBUTTON_LEFT},
      {"middle", PP_INPUTEVENT_MOUSEBUTTON_MIDDLE},
      {"right", PP_INPUTEVENT_MOUSEBUTTON_RIGHT},
  }};
  for (size_t i = 0; i < kButtons.size(); ++i) {
    if ((button->is_string() && button->get<std::string>() == kButtons[i].first) ||
        (button->is_number_integer() && button->get<int64_t>() == static_cast<int64_t>(i))) {
      return kButtons[i].second;
    }
  }
  throw ScriptError("field \"button\" must be 0, 1, 2, \"left\", \"middle\" or \"right\"");
}

uint32_t ButtonModifier(PP_InputEvent_MouseButton button) {
  switch (button) {
    case PP_INPUTEVENT_MOUSEBUTTON_LEFT:
      return PP_INPUTEVENT_MODIFIER_LEFTBUTTONDOWN;
    case PP_INPUTEVENT_MOUSEBUTTON_MIDDLE:
      return PP_INPUTEVENT_MODIFIER_MIDDLEBUTTONDOWN;
    case PP_INPUTEVENT_MOUSEBUTTON_RIGHT:
      return PP_INPUTEVENT_MODIFIER_RIGHTBUTTONDOWN;
    default:
      return 0;
  }
}

int32_t Coordinate(const Json& line, const char* name) {
  const Json* value = OptionalField(line, name);
  return value != nullptr ? AsInt32(*value, name) : 0;
}

}  // namespace

std::optional<PP_InputEvent_Type> InputTypeFromName(std::string_view name) {
  for (const NamedType& entry : kTypes) {
    if (entry.name == name) return entry.type;
  }
  return std::nullopt;
}

InputEventData MakeInputEvent(PP_InputEvent_Type type, const Json& line, PP_TimeTicks timeStamp) {
  const bool mouse = ClassOf(type) == PP_INPUTEVENT_CLASS_MOUSE;
  const PP_InputEvent_MouseButton button = mouse ? ButtonOf(type, line) : PP_INPUTEVENT_MOUSEBUTTON_NONE;
  // A press carries its own button among the modifiers; a release does not.
  const uint32_t modifiers = type == PP_INPUTEVENT_TYPE_MOUSEDOWN ? ButtonModifier(button) : 0;
  return InputEventData{type,
                        timeStamp,
                        modifiers,
                        button,
                        PP_MakePoint(Coordinate(line, "x"), Coordinate(line, "y")),
                        PressesButton(type) ? 1 : 0,
                        PP_MakePoint(0, 0)};
}

}  // namespace pphost
