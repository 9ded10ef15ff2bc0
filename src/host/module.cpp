#include "host/module.h"

#include <cmath>

#include "common/clock.h"
#include "host/browser_interfaces.h"
#include "host/plugin_interfaces.h"

namespace pp {

namespace {

Module* g_module = nullptr;

// While the module is started its clock is the browser's, so a browser with
// a virtual timeline drives every timestamp and timer of the module.
int64_t BrowserWallMs(void* /*context*/) { return std::llround(Browser().core->GetTime() * 1000.0); }
int64_t BrowserMonotonicNs(void* /*context*/) { return std::llround(Browser().core->GetTimeTicks() * 1e9); }
const TALLWICK_COMMON::ClockSource kBrowserClock = {&BrowserWallMs, &BrowserMonotonicNs, nullptr};

}  // namespace

Module* Module::Get() { return g_module; }

void SetModuleSingleton(Module* module) { g_module = module; }

const void* ModuleBrowserInterface(const char* name) {
  return g_module != nullptr ? g_module->GetBrowserInterface(name) : nullptr;
}

Module::Module() { RegisterPluginInterfaces(this); }

Module::~Module() {
  if (core_ != nullptr) {
    TALLWICK_COMMON::SetClockSource(nullptr);
    ClearBrowserInterfaces();
  }
}

bool Module::InternalInit(PP_Module module, PPB_GetInterface getBrowserInterface) {
  pp_module_ = module;
  getBrowserInterface_ = getBrowserInterface;
  if (!LoadBrowserInterfaces(getBrowserInterface, module)) {
    return false;
  }
  core_ = std::make_unique<Core>(Browser().core);
  TALLWICK_COMMON::SetClockSource(&kBrowserClock);
  return Init();
}

const void* Module::GetBrowserInterface(const char* name) const {
  return getBrowserInterface_ != nullptr ? getBrowserInterface_(name) : nullptr;
}

const void* Module::GetPluginInterface(const char* name) const {
  if (name == nullptr) return nullptr;
  const auto found = pluginInterfaces_.find(name);
  return found != pluginInterfaces_.end() ? found->second : nullptr;
}

void Module::AddPluginInterface(const std::string& name, const void* table) { pluginInterfaces_[name] = table; }

Instance* Module::InstanceForPPInstance(PP_Instance instance) const {
  const auto found = instances_.find(instance);
  return found != instances_.end() ? found->second : nullptr;
}

bool Module::AddInstance(PP_Instance handle, Instance* instance) { return instances_.emplace(handle, instance).second; }

Instance* Module::RemoveInstance(PP_Instance handle) {
  const auto found = instances_.find(handle);
  if (found == instances_.end()) return nullptr;
  Instance* instance = found->second;
  instances_.erase(found);
  return instance;
}

}  // namespace pp
