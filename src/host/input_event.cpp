#include "host/input_event.h"

#include "host/browser_interfaces.h"

namespace pp {

PP_InputEvent_Type InputEvent::GetType() const {
  const auto* input = Browser().inputEvent;
  return input != nullptr && !is_null() ? input->GetType(pp_resource()) : PP_INPUTEVENT_TYPE_UNDEFINED;
}

PP_TimeTicks InputEvent::GetTimeStamp() const {
  const auto* input = Browser().inputEvent;
  return input != nullptr && !is_null() ? input->GetTimeStamp(pp_resource()) : 0.0;
}

uint32_t InputEvent::GetModifiers() const {
  const auto* input = Browser().inputEvent;
  return input != nullptr && !is_null() ? input->GetModifiers(pp_resource()) : 0;
}

}  // namespace pp
