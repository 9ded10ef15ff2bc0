#include "host/instance.h"

#include "host/browser_interfaces.h"

namespace pp {

bool Instance::Init(uint32_t /*argc*/, const char* /*argn*/[], const char* /*argv*/[]) { return true; }

void Instance::DidChangeView(const PP_Rect& /*position*/, const PP_Rect& /*clip*/) {}

void Instance::DidChangeView(const View& view) {
  const PP_Rect rect = view.GetRect();
  DidChangeView(rect, rect);
}

void Instance::DidChangeFocus(bool /*hasFocus*/) {}

bool Instance::HandleInputEvent(const InputEvent& /*event*/) { return false; }

bool Instance::HandleDocumentLoad(PP_Resource /*urlLoader*/) { return false; }

void Instance::HandleMessage(const Var& /*message*/) {}

void Instance::PostMessage(const Var& message) {
  if (Browser().postMessage != nullptr) Browser().postMessage(pp_instance_, message.pp_var());
}

bool Instance::BindGraphics(PP_Resource graphics) {
  const auto* instance = Browser().instance;
  return instance != nullptr && PP_ToBool(instance->BindGraphics(pp_instance_, graphics));
}

int32_t Instance::RequestInputEvents(uint32_t eventClasses) {
  const auto* input = Browser().inputEvent;
  return input != nullptr ? input->RequestInputEvents(pp_instance_, eventClasses) : PP_ERROR_NOINTERFACE;
}

int32_t Instance::RequestFilteringInputEvents(uint32_t eventClasses) {
  const auto* input = Browser().inputEvent;
  return input != nullptr ? input->RequestFilteringInputEvents(pp_instance_, eventClasses) : PP_ERROR_NOINTERFACE;
}

void Instance::ClearInputEventRequest(uint32_t eventClasses) {
  const auto* input = Browser().inputEvent;
  if (input != nullptr) input->ClearInputEventRequest(pp_instance_, eventClasses);
}

}  // namespace pp
