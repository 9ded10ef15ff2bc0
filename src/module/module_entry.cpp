// The three functions the browser calls to start, query and stop the module.
#include "host/module_entry_points.h"
#include "host/ppapi/ppp.h"

extern "C" {

PP_EXPORT int32_t PPP_InitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface) {
  return pp::StartModule(pp::CreateModule(), module, getBrowserInterface);
}

PP_EXPORT const void* PPP_GetInterface(const char* interfaceName) {
  return pp::GetStartedModuleInterface(interfaceName);
}

PP_EXPORT void PPP_ShutdownModule() { pp::ShutdownStartedModule(); }

}  // extern "C"
