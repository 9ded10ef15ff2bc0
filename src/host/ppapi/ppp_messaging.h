#pragma once

/* "PPP_Messaging": messages from the page to an instance. */

#include "host/ppapi/pp_types.h"

#define PPP_MESSAGING_INTERFACE_1_0 "PPP_Messaging;1.0"
#define PPP_MESSAGING_INTERFACE PPP_MESSAGING_INTERFACE_1_0

struct PPP_Messaging_1_0 {
  /* `message` is a copy of the page's value; the browser owns its
     reference (AddRef to keep it). */
  void(PP_CALL* HandleMessage)(PP_Instance instance, struct PP_Var message);
};

typedef struct PPP_Messaging_1_0 PPP_Messaging;
