// The fake plug-in as a loadable module: the three exported entry points.
#include "devhost/fake_plugin.h"
#include "host/ppapi/ppp.h"

extern "C" {

PP_EXPORT int32_t PPP_InitializeModule(PP_Module module, PPB_GetInterface getInterface) {
  return fake_plugin::EntryPoints().initialize(module, getInterface);
}

PP_EXPORT const void* PPP_GetInterface(const char* name) { return fake_plugin::EntryPoints().getInterface(name); }

PP_EXPORT void PPP_ShutdownModule(void) { fake_plugin::EntryPoints().shutdown(); }

}  // extern "C"
