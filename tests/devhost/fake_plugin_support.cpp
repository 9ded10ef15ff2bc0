#include "devhost/fake_plugin_support.h"

namespace fake_plugin {

Browser g_browser;

PP_Var Str(const std::string& text) {
  return g_browser.var->VarFromUtf8(text.data(), static_cast<uint32_t>(text.size()));
}

std::string TextOf(PP_Var var) {
  uint32_t length = 0;
  const char* data = g_browser.var->VarToUtf8(var, &length);
  return data != nullptr ? std::string(data, length) : std::string();
}

void Put(PP_Var dict, const char* key, PP_Var value) {
  const PP_Var name = Str(key);
  g_browser.dict->Set(dict, name, value);
  g_browser.var->Release(name);
  g_browser.var->Release(value);
}

void Append(PP_Var array, PP_Var value) {
  g_browser.array->Set(array, g_browser.array->GetLength(array), value);
  g_browser.var->Release(value);
}

PP_Var Get(PP_Var dict, const char* key) {
  const PP_Var name = Str(key);
  const PP_Var value = g_browser.dict->Get(dict, name);
  g_browser.var->Release(name);
  return value;
}

std::string GetString(PP_Var dict, const char* key) {
  const PP_Var value = Get(dict, key);
  std::string text = TextOf(value);
  g_browser.var->Release(value);
  return text;
}

int32_t GetInt(PP_Var dict, const char* key) {
  const PP_Var value = Get(dict, key);
  return value.type == PP_VARTYPE_INT32 ? value.value.as_int : 0;
}

bool GetBool(PP_Var dict, const char* key) {
  const PP_Var value = Get(dict, key);
  return value.type == PP_VARTYPE_BOOL && value.value.as_bool == PP_TRUE;
}

PP_Var Event(const char* command) {
  const PP_Var event = g_browser.dict->Create();
  Put(event, "command", Str(command));
  return event;
}

void PostAndRelease(PP_Instance instance, PP_Var event) {
  g_browser.messaging->PostMessage(instance, event);
  g_browser.var->Release(event);
}

double GetNumber(PP_Var dict, const char* key) {
  const PP_Var value = Get(dict, key);
  if (value.type == PP_VARTYPE_INT32) return value.value.as_int;
  return value.type == PP_VARTYPE_DOUBLE ? value.value.as_double : 0.0;
}

}  // namespace fake_plugin
