#include "devhost/page/instance_ops.h"

#include <string>
#include <vector>

#include "devhost/browser/input_event_class.h"
#include "devhost/browser/instance_graphics.h"
#include "devhost/page/input_events.h"
#include "devhost/page/instance_lookup.h"
#include "devhost/page/script_fields.h"
#include "devhost/runtime/json_var.h"

namespace pphost {

namespace {

struct Attributes {
  std::vector<std::string> names;
  std::vector<std::string> values;
};

// `attrs`: [[name, value], ...] in element order. A value that is not a
// string is passed as its JSON text.
Attributes ReadAttributes(const Json& line) {
  Attributes attributes;
  const Json* attrs = OptionalField(line, "attrs");
  if (attrs == nullptr) return attributes;
  if (!attrs->is_array()) throw ScriptError("field \"attrs\" must be a list of [name, value] pairs");
  for (const Json& pair : *attrs) {
    if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string()) {
      throw ScriptError("each attribute must be a [name, value] pair with a string name, not " + DumpLine(pair));
    }
    attributes.names.push_back(pair[0].get<std::string>());
    attributes.values.push_back(pair[1].is_string() ? pair[1].get<std::string>() : DumpLine(pair[1]));
  }
  return attributes;
}

ViewData ReadView(const Json& line) {
  const PP_Rect rect = AsRect(RequiredField(line, "rect"), "rect");
  const Json* visible = OptionalField(line, "visible");
  const Json* scale = OptionalField(line, "scale");
  return ViewData{rect, visible != nullptr ? AsBool(*visible, "visible") : true,
                  scale != nullptr ? static_cast<float>(AsNumber(*scale, "scale")) : 1.0f};
}

}  // namespace

InstanceRecord& InstanceOps::Lookup(const Json& line) { return RequiredInstance(browser_.instances, line); }

void InstanceOps::Create(const Json& line) {
  const Json& id = RequiredId(line);
  if (browser_.instances.FindByPageId(id) != nullptr) throw ScriptError("id " + DumpLine(id) + " is already in use");
  const Attributes attributes = ReadAttributes(line);
  if (!plugin_.OffersInstance()) throw ScriptError("the module offers no \"PPP_Instance;1.1\"");
  const PP_Instance instance = browser_.instances.Add(id).instance;
  if (!plugin_.DidCreate(instance, attributes.names, attributes.values)) {
    DestroyInstance(instance);  // DidDestroy follows a refused DidCreate too
    throw ScriptError("the module refused the instance (DidCreate returned false)");
  }
  browser_.output.Created(id, instance);
}

void InstanceOps::View(const Json& line) {
  InstanceRecord& record = Lookup(line);
  const PP_Instance instance = record.instance;
  const ViewData data = ReadView(line);
  record.view = data;
  const PP_Resource view = browser_.resources.Create(instance, data);
  plugin_.DidChangeView(instance, view);
  browser_.resources.Release(view);
}

void InstanceOps::Message(const Json& line) {
  const PP_Instance instance = Lookup(line).instance;
  const PP_Var message = JsonToVar(RequiredField(line, "msg"), browser_.vars);
  plugin_.HandleMessage(instance, message);
  browser_.vars.Release(message);
}

void InstanceOps::Input(const Json& line) {
  const InstanceRecord& record = Lookup(line);
  const Json id = record.pageId;
  const PP_Instance instance = record.instance;
  const std::string type = AsString(RequiredField(line, "type"), "type");
  const auto eventType = InputTypeFromName(type);
  if (!eventType) throw ScriptError("unknown input type \"" + type + "\"");
  const InputEventData event = MakeInputEvent(*eventType, line, NsToSeconds(browser_.clock.MonotonicNs()));
  const bool delivered = record.Wants(ClassOf(*eventType));
  bool handled = false;
  if (delivered) {
    const PP_Resource resource = browser_.resources.Create(instance, event);
    handled = plugin_.HandleInputEvent(instance, resource);
    browser_.resources.Release(resource);
  }
  browser_.output.Input(id, type, delivered, handled);
}

void InstanceOps::ContextLost(const Json& line) {
  const PP_Instance instance = Lookup(line).instance;
  LoseInstanceContexts(browser_, instance);
  plugin_.Graphics3DContextLost(instance);
}

void InstanceOps::Destroy(const Json& line) { DestroyInstance(Lookup(line).instance); }

void InstanceOps::DestroyAll() {
  for (const PP_Instance instance : browser_.instances.InCreationOrder()) DestroyInstance(instance);
}

// The instance stays known during DidDestroy, so what it posts then is heard.
void InstanceOps::DestroyInstance(PP_Instance instance) {
  plugin_.DidDestroy(instance);
  ReleaseInstanceGraphics(browser_, instance);
  browser_.instances.Remove(instance);
}

}  // namespace pphost
