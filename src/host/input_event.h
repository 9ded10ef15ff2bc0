#pragma once

#include "host/ppapi/ppb_input_event.h"
#include "host/resource.h"

namespace pp {

// An input event delivered to an instance. Without the browser's input
// interface its type reads as undefined.
class InputEvent : public Resource {
 public:
  InputEvent() = default;
  explicit InputEvent(PP_Resource event) : Resource(event) {}

  PP_InputEvent_Type GetType() const;
  PP_TimeTicks GetTimeStamp() const;
  uint32_t GetModifiers() const;
};

}  // namespace pp
