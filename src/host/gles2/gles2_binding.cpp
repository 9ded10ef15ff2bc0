#include "host/gles2/gles2_binding.h"

namespace TALLWICK_GLES2 {

namespace {

GLES2Interfaces g_interfaces;
thread_local PP_Resource t_currentContext = 0;

template <typename Table>
const Table* Fetch(PPB_GetInterface getInterface, const char* name) {
  return static_cast<const Table*>(getInterface(name));
}

}  // namespace

bool glInitializePPAPI(PPB_GetInterface getInterface) {
  g_interfaces = GLES2Interfaces();
  if (getInterface == nullptr) {
    return false;
  }
  const auto* core = Fetch<PPB_OpenGLES2>(getInterface, PPB_OPENGLES2_INTERFACE_1_0);
  if (core == nullptr) {
    return false;
  }
  g_interfaces.core = core;
  g_interfaces.instancedArrays =
      Fetch<PPB_OpenGLES2InstancedArrays>(getInterface, PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE_1_0);
  g_interfaces.framebufferBlit =
      Fetch<PPB_OpenGLES2FramebufferBlit>(getInterface, PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE_1_0);
  g_interfaces.framebufferMultisample =
      Fetch<PPB_OpenGLES2FramebufferMultisample>(getInterface, PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE_1_0);
  g_interfaces.chromiumEnableFeature =
      Fetch<PPB_OpenGLES2ChromiumEnableFeature>(getInterface, PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE_1_0);
  g_interfaces.chromiumMapSub =
      Fetch<PPB_OpenGLES2ChromiumMapSub>(getInterface, PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE_1_0);
  g_interfaces.query = Fetch<PPB_OpenGLES2Query>(getInterface, PPB_OPENGLES2_QUERY_INTERFACE_1_0);
  g_interfaces.vertexArrayObject =
      Fetch<PPB_OpenGLES2VertexArrayObject>(getInterface, PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE_1_0);
  g_interfaces.drawBuffers =
      Fetch<PPB_OpenGLES2DrawBuffers_Dev>(getInterface, PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE_1_0);
  return true;
}

bool glTerminatePPAPI() {
  g_interfaces = GLES2Interfaces();
  t_currentContext = 0;
  return true;
}

void glSetCurrentContextPPAPI(PP_Resource context) { t_currentContext = context; }

PP_Resource glGetCurrentContextPPAPI() { return t_currentContext; }

const GLES2Interfaces& GetGLES2Interfaces() { return g_interfaces; }

}  // namespace TALLWICK_GLES2
