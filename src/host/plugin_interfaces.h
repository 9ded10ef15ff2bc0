#pragma once

namespace pp {

class Module;

// Registers the plug-in interface tables every module offers
// ("PPP_Instance;1.1", "PPP_Messaging;1.0", "PPP_InputEvent;0.1"); they route
// the browser's calls to the instance objects of the module.
void RegisterPluginInterfaces(Module* module);

}  // namespace pp
