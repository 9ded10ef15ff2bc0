// "PPB_Var" 1.0 to 1.2, "PPB_VarDictionary;1.0" and "PPB_VarArray;1.0":
// reference-counted strings, dictionaries and arrays kept in the VarStore.
#include <string>
#include <string_view>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"

namespace pphost {

namespace {

VarStore* Vars() {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? &browser->vars : nullptr;
}

void AddRef(PP_Var var) {
  if (VarStore* vars = Vars()) vars->AddRef(var);
}

void Release(PP_Var var) {
  if (VarStore* vars = Vars()) vars->Release(var);
}

PP_Var VarFromUtf8(const char* data, uint32_t length) {
  VarStore* vars = Vars();
  if (vars == nullptr || (data == nullptr && length != 0)) return PP_MakeNull();
  return vars->MakeString(std::string_view(data != nullptr ? data : "", length));
}

PP_Var VarFromUtf8WithModule(PP_Module /*module*/, const char* data, uint32_t length) {
  return VarFromUtf8(data, length);
}

const char* VarToUtf8(PP_Var var, uint32_t* length) {
  VarStore* vars = Vars();
  const std::string* text = vars != nullptr ? vars->StringOf(var) : nullptr;
  if (length != nullptr) *length = text != nullptr ? static_cast<uint32_t>(text->size()) : 0;
  return text != nullptr ? text->data() : nullptr;
}

// Resource vars are not supported.
PP_Resource VarToResource(PP_Var /*var*/) { return 0; }
PP_Var VarFromResource(PP_Resource /*resource*/) { return PP_MakeNull(); }

// Dictionary keys are string vars; anything else names no entry.
const std::string* KeyOf(VarStore& vars, PP_Var key) { return vars.StringOf(key); }

PP_Var DictionaryCreate() {
  VarStore* vars = Vars();
  return vars != nullptr ? vars->MakeDictionary() : PP_MakeNull();
}

PP_Var DictionaryGet(PP_Var dict, PP_Var key) {
  VarStore* vars = Vars();
  const std::string* name = vars != nullptr ? KeyOf(*vars, key) : nullptr;
  return name != nullptr ? vars->DictionaryGet(dict, *name) : PP_MakeUndefined();
}

PP_Bool DictionarySet(PP_Var dict, PP_Var key, PP_Var value) {
  VarStore* vars = Vars();
  const std::string* name = vars != nullptr ? KeyOf(*vars, key) : nullptr;
  // Copy the key: the value set may be the key's own string.
  return PP_FromBool(name != nullptr && vars->DictionarySet(dict, std::string(*name), value));
}

void DictionaryDelete(PP_Var dict, PP_Var key) {
  VarStore* vars = Vars();
  const std::string* name = vars != nullptr ? KeyOf(*vars, key) : nullptr;
  if (name != nullptr) vars->DictionaryDelete(dict, std::string(*name));
}

PP_Bool DictionaryHasKey(PP_Var dict, PP_Var key) {
  VarStore* vars = Vars();
  const std::string* name = vars != nullptr ? KeyOf(*vars, key) : nullptr;
  return PP_FromBool(name != nullptr && vars->DictionaryHasKey(dict, *name));
}

PP_Var DictionaryGetKeys(PP_Var dict) {
  VarStore* vars = Vars();
  return vars != nullptr ? vars->DictionaryKeys(dict) : PP_MakeNull();
}

PP_Var ArrayCreate() {
  VarStore* vars = Vars();
  return vars != nullptr ? vars->MakeArray() : PP_MakeNull();
}

PP_Var ArrayGet(PP_Var array, uint32_t index) {
  VarStore* vars = Vars();
  return vars != nullptr ? vars->ArrayGet(array, index) : PP_MakeUndefined();
}

PP_Bool ArraySet(PP_Var array, uint32_t index, PP_Var value) {
  VarStore* vars = Vars();
  return PP_FromBool(vars != nullptr && vars->ArraySet(array, index, value));
}

uint32_t ArrayGetLength(PP_Var array) {
  VarStore* vars = Vars();
  return vars != nullptr ? vars->ArrayLength(array) : 0;
}

PP_Bool ArraySetLength(PP_Var array, uint32_t length) {
  VarStore* vars = Vars();
  return PP_FromBool(vars != nullptr && vars->ArraySetLength(array, length));
}

constexpr PPB_Var_1_0 kVar10 = {&AddRef, &Release, &VarFromUtf8WithModule, &VarToUtf8};
constexpr PPB_Var_1_1 kVar11 = {&AddRef, &Release, &VarFromUtf8, &VarToUtf8};
constexpr PPB_Var_1_2 kVar12 = {&AddRef, &Release, &VarFromUtf8, &VarToUtf8, &VarToResource, &VarFromResource};
constexpr PPB_VarDictionary_1_0 kDictionary = {&DictionaryCreate, &DictionaryGet,    &DictionarySet,
                                               &DictionaryDelete, &DictionaryHasKey, &DictionaryGetKeys};
constexpr PPB_VarArray_1_0 kArray = {&ArrayCreate, &ArrayGet, &ArraySet, &ArrayGetLength, &ArraySetLength};

}  // namespace

const PPB_Var_1_0* Var10Interface() { return &kVar10; }
const PPB_Var_1_1* Var11Interface() { return &kVar11; }
const PPB_Var_1_2* Var12Interface() { return &kVar12; }
const PPB_VarDictionary_1_0* VarDictionaryInterface() { return &kDictionary; }
const PPB_VarArray_1_0* VarArrayInterface() { return &kArray; }

}  // namespace pphost
