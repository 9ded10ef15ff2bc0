// The three functions the browser calls to start, query and stop the module.
#include "host/module.h"
#include "host/ppapi/ppp.h"

extern "C" {

PP_EXPORT int32_t PPP_InitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface) {
  pp::Module* object = pp::CreateModule();
  if (object == nullptr) {
    return PP_ERROR_FAILED;
  }
  if (!object->InternalInit(module, getBrowserInterface)) {
    delete object;
    return PP_ERROR_FAILED;
  }
  pp::SetModuleSingleton(object);
  return PP_OK;
}

PP_EXPORT const void* PPP_GetInterface(const char* interfaceName) {
  const pp::Module* object = pp::Module::Get();
  return object != nullptr ? object->GetPluginInterface(interfaceName) : nullptr;
}

PP_EXPORT void PPP_ShutdownModule() {
  pp::Module* object = pp::Module::Get();
  pp::SetModuleSingleton(nullptr);
  delete object;
}

}  // extern "C"
