#pragma once

/* "PPB_Messaging": messages from an instance to its page element. */

#include "host/ppapi/pp_types.h"
#include "host/ppapi/ppp_message_handler.h"

#define PPB_MESSAGING_INTERFACE_1_0 "PPB_Messaging;1.0"
#define PPB_MESSAGING_INTERFACE_1_2 "PPB_Messaging;1.2"
#define PPB_MESSAGING_INTERFACE PPB_MESSAGING_INTERFACE_1_2

struct PPB_Messaging_1_0 {
  /* Posts a copy of `message` to the element's message listeners. */
  void(PP_CALL* PostMessage)(PP_Instance instance, struct PP_Var message);
};

/* 1.2 keeps PostMessage first and adds handler registration. */
struct PPB_Messaging_1_2 {
  void(PP_CALL* PostMessage)(PP_Instance instance, struct PP_Var message);
  /* Returns PP_OK or an error code; `message_loop` must not be the main
     thread's loop. */
  int32_t(PP_CALL* RegisterMessageHandler)(PP_Instance instance, void* user_data,
                                           const struct PPP_MessageHandler_0_2* handler, PP_Resource message_loop);
  void(PP_CALL* UnregisterMessageHandler)(PP_Instance instance);
};

typedef struct PPB_Messaging_1_2 PPB_Messaging;
