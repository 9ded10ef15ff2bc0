#pragma once

/* "PPB_Graphics3D": OpenGL ES 2.0 drawing contexts that an instance can
   bind as its display. */

#include "host/ppapi/pp_types.h"

#define PPB_GRAPHICS_3D_INTERFACE_1_0 "PPB_Graphics3D;1.0"
#define PPB_GRAPHICS_3D_INTERFACE PPB_GRAPHICS_3D_INTERFACE_1_0

/* Attribute names and values of attribute lists (name, value, ...,
   PP_GRAPHICS3DATTRIB_NONE). Most numbers are the matching EGL ones. */
typedef enum {
  PP_GRAPHICS3DATTRIB_ALPHA_SIZE = 0x3021,
  PP_GRAPHICS3DATTRIB_BLUE_SIZE = 0x3022,
  PP_GRAPHICS3DATTRIB_GREEN_SIZE = 0x3023,
  PP_GRAPHICS3DATTRIB_RED_SIZE = 0x3024,
  PP_GRAPHICS3DATTRIB_DEPTH_SIZE = 0x3025,
  PP_GRAPHICS3DATTRIB_STENCIL_SIZE = 0x3026,
  PP_GRAPHICS3DATTRIB_SAMPLES = 0x3031,
  PP_GRAPHICS3DATTRIB_SAMPLE_BUFFERS = 0x3032,
  /* Ends an attribute list. */
  PP_GRAPHICS3DATTRIB_NONE = 0x3038,
  PP_GRAPHICS3DATTRIB_HEIGHT = 0x3056,
  PP_GRAPHICS3DATTRIB_WIDTH = 0x3057,
  /* Whether the colour buffer survives SwapBuffers; one of the next two. */
  PP_GRAPHICS3DATTRIB_SWAP_BEHAVIOR = 0x3093,
  PP_GRAPHICS3DATTRIB_BUFFER_PRESERVED = 0x3094,
  PP_GRAPHICS3DATTRIB_BUFFER_DESTROYED = 0x3095,
  PP_GRAPHICS3DATTRIB_GPU_PREFERENCE = 0x11000,
  PP_GRAPHICS3DATTRIB_GPU_PREFERENCE_LOW_POWER = 0x11001,
  PP_GRAPHICS3DATTRIB_GPU_PREFERENCE_PERFORMANCE = 0x11002,
  PP_GRAPHICS3DATTRIB_SINGLE_BUFFER = 0x3085
} PP_Graphics3DAttrib;

TWPP_STATIC_ASSERT(sizeof(PP_Graphics3DAttrib) == 4, "PP_Graphics3DAttrib must be 4 bytes");

struct PPB_Graphics3D_1_0 {
  /* The largest value the browser supports for `attribute`. */
  int32_t(PP_CALL* GetAttribMaxValue)(PP_Resource instance, int32_t attribute, int32_t* value);
  /* A new context, off-screen until bound with PPB_Instance BindGraphics;
     0 on failure. `attrib_list` may be null. */
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_Resource share_context, const int32_t attrib_list[]);
  PP_Bool(PP_CALL* IsGraphics3D)(PP_Resource resource);
  /* Fills in the value after each name in the list. */
  int32_t(PP_CALL* GetAttribs)(PP_Resource context, int32_t attrib_list[]);
  int32_t(PP_CALL* SetAttribs)(PP_Resource context, const int32_t attrib_list[]);
  /* PP_OK, PP_ERROR_NOMEMORY or PP_ERROR_CONTEXT_LOST. */
  int32_t(PP_CALL* GetError)(PP_Resource context);
  int32_t(PP_CALL* ResizeBuffers)(PP_Resource context, int32_t width, int32_t height);
  /* Presents the colour buffer; the callback runs once it is on screen
     (with PP_ERROR_CONTEXT_LOST etc. on failure). A second swap while one
     is pending fails. */
  int32_t(PP_CALL* SwapBuffers)(PP_Resource context, struct PP_CompletionCallback callback);
};

typedef struct PPB_Graphics3D_1_0 PPB_Graphics3D;
