#pragma once

#include "devhost/browser/browser_context.h"
#include "devhost/json.h"
#include "devhost/runtime/plugin_module.h"

namespace pphost {

// The input lines that talk to one plug-in instance: create, view, message,
// input, contextlost, destroy. Each throws ScriptError when the line cannot
// be carried out.
class InstanceOps {
 public:
  InstanceOps(BrowserContext& browser, PluginModule& plugin) : browser_(browser), plugin_(plugin) {}

  void Create(const Json& line);
  void View(const Json& line);
  void Message(const Json& line);
  void Input(const Json& line);
  void ContextLost(const Json& line);
  void Destroy(const Json& line);

  // Destroys every instance left, in creation order.
  void DestroyAll();

 private:
  InstanceRecord& Lookup(const Json& line);
  void DestroyInstance(PP_Instance instance);

  BrowserContext& browser_;
  PluginModule& plugin_;
};

}  // namespace pphost
