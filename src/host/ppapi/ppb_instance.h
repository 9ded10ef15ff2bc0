#pragma once

/* "PPB_Instance": what an instance shows on its page element. */

#include "host/ppapi/pp_types.h"

#define PPB_INSTANCE_INTERFACE_1_0 "PPB_Instance;1.0"
#define PPB_INSTANCE_INTERFACE PPB_INSTANCE_INTERFACE_1_0

struct PPB_Instance_1_0 {
  /* Makes a 2D or 3D graphics resource (0 for none) the instance's
     display; the instance keeps its own reference. PP_FALSE for a resource
     of another type or one bound elsewhere. */
  PP_Bool(PP_CALL* BindGraphics)(PP_Instance instance, PP_Resource device);
  PP_Bool(PP_CALL* IsFullFrame)(PP_Instance instance);
};

typedef struct PPB_Instance_1_0 PPB_Instance;
