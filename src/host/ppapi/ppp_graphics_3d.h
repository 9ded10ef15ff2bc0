#pragma once

/* "PPP_Graphics_3D": notice that the instance's 3D contexts are gone. The
   interface name has an underscore the struct name lacks. */

#include "host/ppapi/pp_types.h"

#define PPP_GRAPHICS_3D_INTERFACE_1_0 "PPP_Graphics_3D;1.0"
#define PPP_GRAPHICS_3D_INTERFACE PPP_GRAPHICS_3D_INTERFACE_1_0

struct PPP_Graphics3D_1_0 {
  /* The contexts must be released and made again before drawing on. */
  void(PP_CALL* Graphics3DContextLost)(PP_Instance instance);
};

typedef struct PPP_Graphics3D_1_0 PPP_Graphics3D;
