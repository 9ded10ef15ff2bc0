#include "host/plugin_interfaces.h"

#include "host/module.h"
#include "host/ppapi/ppp_input_event.h"
#include "host/ppapi/ppp_instance.h"
#include "host/ppapi/ppp_messaging.h"

namespace pp {

namespace {

Instance* Find(PP_Instance handle) {
  Module* module = Module::Get();
  return module != nullptr ? module->InstanceForPPInstance(handle) : nullptr;
}

PP_Bool DidCreate(PP_Instance handle, uint32_t argc, const char* argn[], const char* argv[]) {
  Module* module = Module::Get();
  if (module == nullptr) return PP_FALSE;
  Instance* instance = module->CreateInstance(handle);
  if (instance == nullptr) return PP_FALSE;
  if (!module->AddInstance(handle, instance)) {
    delete instance;
    return PP_FALSE;
  }
  if (!instance->Init(argc, argn, argv)) {
    delete module->RemoveInstance(handle);
    return PP_FALSE;
  }
  return PP_TRUE;
}

void DidDestroy(PP_Instance handle) {
  Module* module = Module::Get();
  if (module != nullptr) delete module->RemoveInstance(handle);
}

void DidChangeView(PP_Instance handle, PP_Resource view) {
  if (Instance* instance = Find(handle)) instance->DidChangeView(View(view));
}

void DidChangeFocus(PP_Instance handle, PP_Bool hasFocus) {
  if (Instance* instance = Find(handle)) instance->DidChangeFocus(PP_ToBool(hasFocus));
}

PP_Bool HandleDocumentLoad(PP_Instance handle, PP_Resource urlLoader) {
  Instance* instance = Find(handle);
  return PP_FromBool(instance != nullptr && instance->HandleDocumentLoad(urlLoader));
}

void HandleMessage(PP_Instance handle, PP_Var message) {
  if (Instance* instance = Find(handle)) instance->HandleMessage(Var(message));
}

PP_Bool HandleInputEvent(PP_Instance handle, PP_Resource event) {
  Instance* instance = Find(handle);
  return PP_FromBool(instance != nullptr && instance->HandleInputEvent(InputEvent(event)));
}

const PPP_Instance_1_1 kInstanceInterface = {&DidCreate, &DidDestroy, &DidChangeView, &DidChangeFocus,
                                             &HandleDocumentLoad};
const PPP_Messaging_1_0 kMessagingInterface = {&HandleMessage};
const PPP_InputEvent_0_1 kInputEventInterface = {&HandleInputEvent};

}  // namespace

void RegisterPluginInterfaces(Module* module) {
  module->AddPluginInterface(PPP_INSTANCE_INTERFACE_1_1, &kInstanceInterface);
  module->AddPluginInterface(PPP_MESSAGING_INTERFACE_1_0, &kMessagingInterface);
  module->AddPluginInterface(PPP_INPUT_EVENT_INTERFACE_0_1, &kInputEventInterface);
}

}  // namespace pp
