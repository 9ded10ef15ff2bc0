#pragma once

/* PPP_MessageHandler: a table the module passes to
   PPB_Messaging 1.2 RegisterMessageHandler to receive messages on a thread
   of its own. Never returned by PPP_GetInterface, so it has no name. */

#include "host/ppapi/pp_types.h"

struct PPP_MessageHandler_0_2 {
  void(PP_CALL* HandleMessage)(PP_Instance instance, void* user_data, const struct PP_Var* message);
  /* Answers a synchronous postMessageAndAwaitResponse through `response`. */
  void(PP_CALL* HandleBlockingMessage)(PP_Instance instance, void* user_data, const struct PP_Var* message,
                                       struct PP_Var* response);
  /* Last call for this instance and user_data. */
  void(PP_CALL* Destroy)(PP_Instance instance, void* user_data);
};

typedef struct PPP_MessageHandler_0_2 PPP_MessageHandler;
