#include "host/graphics_3d_client.h"

#include <map>

#include "host/module.h"
#include "host/ppapi/ppp_graphics_3d.h"

namespace pp {

namespace {

std::map<PP_Instance, Graphics3DClient*>& Clients() {
  static std::map<PP_Instance, Graphics3DClient*> clients;
  return clients;
}

void ContextLost(PP_Instance instance) {
  const auto found = Clients().find(instance);
  if (found != Clients().end()) found->second->Graphics3DContextLost();
}

const PPP_Graphics3D_1_0 kGraphics3DInterface = {&ContextLost};

}  // namespace

Graphics3DClient::Graphics3DClient(Instance* instance) : instance_(instance->pp_instance()) {
  if (Module* module = Module::Get()) {
    module->AddPluginInterface(PPP_GRAPHICS_3D_INTERFACE_1_0, &kGraphics3DInterface);
  }
  Clients()[instance_] = this;
}

Graphics3DClient::~Graphics3DClient() {
  const auto found = Clients().find(instance_);
  if (found != Clients().end() && found->second == this) Clients().erase(found);
}

}  // namespace pp
