#include "devhost/runtime/plugin_module.h"

#include "host/ppapi/ppp_graphics_3d.h"
#include "host/ppapi/ppp_input_event.h"
#include "host/ppapi/ppp_instance.h"
#include "host/ppapi/ppp_messaging.h"

namespace pphost {

int32_t PluginModule::Initialize(PP_Module module, PPB_GetInterface browser) {
  if (entry_.initialize == nullptr) return PP_ERROR_FAILED;
  return entry_.initialize(module, browser);
}

void PluginModule::Shutdown() {
  if (entry_.shutdown != nullptr) entry_.shutdown();
}

bool PluginModule::OffersInstance() const { return Find<PPP_Instance_1_1>(PPP_INSTANCE_INTERFACE_1_1) != nullptr; }

bool PluginModule::DidCreate(PP_Instance instance, const std::vector<std::string>& names,
                             const std::vector<std::string>& values) {
  const auto* ppp = Find<PPP_Instance_1_1>(PPP_INSTANCE_INTERFACE_1_1);
  if (ppp == nullptr) return false;
  std::vector<const char*> argn;
  std::vector<const char*> argv;
  argn.reserve(names.size());
  argv.reserve(values.size());
  for (const std::string& name : names) argn.push_back(name.c_str());
  for (const std::string& value : values) argv.push_back(value.c_str());
  return ppp->DidCreate(instance, static_cast<uint32_t>(argn.size()), argn.data(), argv.data()) != PP_FALSE;
}

void PluginModule::DidDestroy(PP_Instance instance) {
  if (const auto* ppp = Find<PPP_Instance_1_1>(PPP_INSTANCE_INTERFACE_1_1)) ppp->DidDestroy(instance);
}

void PluginModule::DidChangeView(PP_Instance instance, PP_Resource view) {
  if (const auto* ppp = Find<PPP_Instance_1_1>(PPP_INSTANCE_INTERFACE_1_1)) ppp->DidChangeView(instance, view);
}

void PluginModule::HandleMessage(PP_Instance instance, PP_Var message) {
  if (const auto* ppp = Find<PPP_Messaging_1_0>(PPP_MESSAGING_INTERFACE_1_0)) ppp->HandleMessage(instance, message);
}

bool PluginModule::HandleInputEvent(PP_Instance instance, PP_Resource event) {
  const auto* ppp = Find<PPP_InputEvent_0_1>(PPP_INPUT_EVENT_INTERFACE_0_1);
  return ppp != nullptr && ppp->HandleInputEvent(instance, event) != PP_FALSE;
}

bool PluginModule::Graphics3DContextLost(PP_Instance instance) {
  const auto* ppp = Find<PPP_Graphics3D_1_0>(PPP_GRAPHICS_3D_INTERFACE_1_0);
  if (ppp == nullptr) return false;
  ppp->Graphics3DContextLost(instance);
  return true;
}

}  // namespace pphost
