#include "host/module_entry_points.h"

#include <memory>

namespace pp {

int32_t StartModule(Module* module, PP_Module handle, PPB_GetInterface getBrowserInterface) {
  std::unique_ptr<Module> owned(module);
  if (owned == nullptr || !owned->InternalInit(handle, getBrowserInterface)) {
    return PP_ERROR_FAILED;
  }
  SetModuleSingleton(owned.release());
  return PP_OK;
}

const void* GetStartedModuleInterface(const char* name) {
  const Module* module = Module::Get();
  return module != nullptr ? module->GetPluginInterface(name) : nullptr;
}

void ShutdownStartedModule() {
  Module* module = Module::Get();
  SetModuleSingleton(nullptr);
  delete module;
}

}  // namespace pp
