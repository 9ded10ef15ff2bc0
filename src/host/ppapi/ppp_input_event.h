#pragma once

/* "PPP_InputEvent": input events for the classes the instance asked for. */

#include "host/ppapi/pp_types.h"

#define PPP_INPUT_EVENT_INTERFACE_0_1 "PPP_InputEvent;0.1"
#define PPP_INPUT_EVENT_INTERFACE PPP_INPUT_EVENT_INTERFACE_0_1

struct PPP_InputEvent_0_1 {
  /* PP_TRUE when handled. For filtered classes PP_FALSE passes the event
     on to the page; for unfiltered ones the answer is ignored. The browser
     keeps `input_event` alive for the call. */
  PP_Bool(PP_CALL* HandleInputEvent)(PP_Instance instance, PP_Resource input_event);
};

typedef struct PPP_InputEvent_0_1 PPP_InputEvent;
