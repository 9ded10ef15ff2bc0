#pragma once

#include <string>
#include <vector>

#include "devhost/entry_points.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The host's calls into the module: its entry points and the plug-in
// interfaces it offers, asked for by name at each use (a module may register
// one late, as "PPP_Graphics_3D;1.0" is).
class PluginModule {
 public:
  explicit PluginModule(EntryPoints entry) : entry_(entry) {}

  int32_t Initialize(PP_Module module, PPB_GetInterface browser);
  void Shutdown();

  bool OffersInstance() const;
  // False when the module refuses the instance.
  bool DidCreate(PP_Instance instance, const std::vector<std::string>& names, const std::vector<std::string>& values);
  void DidDestroy(PP_Instance instance);
  void DidChangeView(PP_Instance instance, PP_Resource view);
  // Without "PPP_Messaging;1.0" the message is dropped.
  void HandleMessage(PP_Instance instance, PP_Var message);
  // False when not handled or when the module has no "PPP_InputEvent;0.1".
  bool HandleInputEvent(PP_Instance instance, PP_Resource event);
  // False when the module has no "PPP_Graphics_3D;1.0".
  bool Graphics3DContextLost(PP_Instance instance);

 private:
  template <typename Interface>
  const Interface* Find(const char* name) const {
    return entry_.getInterface != nullptr ? static_cast<const Interface*>(entry_.getInterface(name)) : nullptr;
  }

  EntryPoints entry_;
};

}  // namespace pphost
