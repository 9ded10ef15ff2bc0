#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/core.h"
#include "host/instance.h"

namespace pp {

// The plug-in module: one per loaded library between start and shutdown.
// It keeps the browser's interfaces, the plug-in interfaces it offers and the
// table of live instances keyed by their browser handle.
class Module {
 public:
  Module();
  virtual ~Module();

  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // The started module, or null.
  static Module* Get();

  // Binds the module to the browser: fetches the interfaces, makes the
  // module's clock follow the browser's and calls Init. False when the
  // browser lacks "PPB_Core;1.0" or Init refuses.
  bool InternalInit(PP_Module module, PPB_GetInterface getBrowserInterface);

  virtual bool Init() { return true; }
  virtual Instance* CreateInstance(PP_Instance instance) = 0;

  PP_Module pp_module() const { return pp_module_; }
  Core* core() { return core_.get(); }
  const void* GetBrowserInterface(const char* name) const;

  const void* GetPluginInterface(const char* name) const;
  void AddPluginInterface(const std::string& name, const void* table);

  Instance* InstanceForPPInstance(PP_Instance instance) const;
  // Live instances in ascending handle order.
  const std::map<PP_Instance, Instance*>& current_instances() const { return instances_; }

  // Browser-side entry points (called by the plug-in interface tables).
  bool AddInstance(PP_Instance handle, Instance* instance);
  Instance* RemoveInstance(PP_Instance handle);

 private:
  PP_Module pp_module_ = 0;
  PPB_GetInterface getBrowserInterface_ = nullptr;
  std::unique_ptr<Core> core_;
  std::map<std::string, const void*> pluginInterfaces_;
  std::map<PP_Instance, Instance*> instances_;
};

// Made by the plug-in: its module object.
Module* CreateModule();

// The module pointer of the library (set by the entry points).
void SetModuleSingleton(Module* module);

// The started module's browser-interface getter as a plain function, for
// glInitializePPAPI; null answers while no module is started.
const void* ModuleBrowserInterface(const char* name);

}  // namespace pp
