#pragma once

#include "devhost/entry_points.h"
#include "host/instance.h"
#include "host/module.h"
#include "host/module_entry_points.h"

namespace yuv_test {

// The entry points of an in-process plug-in whose module makes every
// instance an `InstanceT` (constructed from its PP_Instance).
template <class InstanceT>
pphost::EntryPoints InstancePluginEntryPoints() {
  class OneKindModule : public pp::Module {
   public:
    pp::Instance* CreateInstance(PP_Instance instance) override { return new InstanceT(instance); }
  };
  PP_InitializeModule_Func initialize = [](PP_Module module, PPB_GetInterface getBrowserInterface) {
    return pp::StartModule(new OneKindModule(), module, getBrowserInterface);
  };
  return {initialize, &pp::GetStartedModuleInterface, &pp::ShutdownStartedModule};
}

}  // namespace yuv_test
