#pragma once

/* "PPP_Instance": instance life cycle, offered by every module. */

#include "host/ppapi/pp_types.h"

#define PPP_INSTANCE_INTERFACE_1_0 "PPP_Instance;1.0"
#define PPP_INSTANCE_INTERFACE_1_1 "PPP_Instance;1.1"
#define PPP_INSTANCE_INTERFACE PPP_INSTANCE_INTERFACE_1_1

/* 1.0 passed the view as two rectangles. Only the layout is kept here. */
struct PPP_Instance_1_0 {
  PP_Bool(PP_CALL* DidCreate)(PP_Instance instance, uint32_t argc, const char* argn[], const char* argv[]);
  void(PP_CALL* DidDestroy)(PP_Instance instance);
  void(PP_CALL* DidChangeView)(PP_Instance instance, const struct PP_Rect* position, const struct PP_Rect* clip);
  void(PP_CALL* DidChangeFocus)(PP_Instance instance, PP_Bool has_focus);
  PP_Bool(PP_CALL* HandleDocumentLoad)(PP_Instance instance, PP_Resource url_loader);
};

struct PPP_Instance_1_1 {
  /* A new instance for one plug-in element; argn/argv are its attribute
     names and values, `argc` of each, in element order. PP_FALSE destroys
     the instance again. */
  PP_Bool(PP_CALL* DidCreate)(PP_Instance instance, uint32_t argc, const char* argn[], const char* argv[]);
  /* Called even when DidCreate failed; the handle dies on return. */
  void(PP_CALL* DidDestroy)(PP_Instance instance);
  /* `view` is a PPB_View resource, kept alive by the browser for the call. */
  void(PP_CALL* DidChangeView)(PP_Instance instance, PP_Resource view);
  void(PP_CALL* DidChangeFocus)(PP_Instance instance, PP_Bool has_focus);
  /* Full-frame documents only; PP_FALSE when not handled. */
  PP_Bool(PP_CALL* HandleDocumentLoad)(PP_Instance instance, PP_Resource url_loader);
};

typedef struct PPP_Instance_1_1 PPP_Instance;
