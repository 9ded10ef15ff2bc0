#pragma once

#include "host/gles2/gl2_api.h"
#include "host/ppapi/pp_types.h"

namespace TALLWICK_GLES2 {

// The browser's GLES2 tables. `core` is required; the extension tables are
// optional and null when the browser lacks them.
struct GLES2Interfaces {
  const PPB_OpenGLES2* core = nullptr;
  const PPB_OpenGLES2InstancedArrays* instancedArrays = nullptr;
  const PPB_OpenGLES2FramebufferBlit* framebufferBlit = nullptr;
  const PPB_OpenGLES2FramebufferMultisample* framebufferMultisample = nullptr;
  const PPB_OpenGLES2ChromiumEnableFeature* chromiumEnableFeature = nullptr;
  const PPB_OpenGLES2ChromiumMapSub* chromiumMapSub = nullptr;
  const PPB_OpenGLES2Query* query = nullptr;
  const PPB_OpenGLES2VertexArrayObject* vertexArrayObject = nullptr;
  const PPB_OpenGLES2DrawBuffers_Dev* drawBuffers = nullptr;
};

// Fetches the tables through `getInterface`. False (and the binding left
// without tables) when "PPB_OpenGLES2;1.0" is missing. May be called again;
// each call fetches afresh.
TWGL_HIDDEN bool glInitializePPAPI(PPB_GetInterface getInterface);

// Forgets the tables and the current context (module shutdown, tests).
TWGL_HIDDEN bool glTerminatePPAPI();

// The context the gl* functions draw with, one slot per thread (0 = none).
TWGL_HIDDEN void glSetCurrentContextPPAPI(PP_Resource context);
TWGL_HIDDEN PP_Resource glGetCurrentContextPPAPI();

// The tables fetched by the last successful glInitializePPAPI.
TWGL_HIDDEN const GLES2Interfaces& GetGLES2Interfaces();

}  // namespace TALLWICK_GLES2
