#include "host/var_dictionary.h"

#include "host/browser_interfaces.h"

namespace pp {

namespace {

PP_Var NewDictionary() {
  const auto* dict = Browser().dictionary;
  if (dict != nullptr) return dict->Create();
  PP_Var null{};
  null.type = PP_VARTYPE_NULL;
  return null;
}

}  // namespace

VarDictionary::VarDictionary() : Var(PassRef(), NewDictionary()) {}

VarDictionary::VarDictionary(const Var& var) : Var(var.is_dictionary() ? var : Var(PassRef(), NewDictionary())) {}

VarDictionary::VarDictionary(PassRef, const PP_Var& var)
    : Var(var.type == PP_VARTYPE_DICTIONARY ? Var(PassRef(), var) : Var(PassRef(), NewDictionary())) {
  if (var.type != PP_VARTYPE_DICTIONARY) ReleaseVar(var);
}

Var VarDictionary::Get(const Var& key) const {
  const auto* dict = Browser().dictionary;
  if (dict == nullptr || !is_dictionary()) return Var();
  return Var(PassRef(), dict->Get(var_, key.pp_var()));
}

bool VarDictionary::Set(const Var& key, const Var& value) {
  const auto* dict = Browser().dictionary;
  if (dict == nullptr || !is_dictionary()) return false;
  return PP_ToBool(dict->Set(var_, key.pp_var(), value.pp_var()));
}

bool VarDictionary::HasKey(const Var& key) const {
  const auto* dict = Browser().dictionary;
  return dict != nullptr && is_dictionary() && PP_ToBool(dict->HasKey(var_, key.pp_var()));
}

void VarDictionary::Delete(const Var& key) {
  const auto* dict = Browser().dictionary;
  if (dict != nullptr && is_dictionary()) dict->Delete(var_, key.pp_var());
}

VarArray VarDictionary::GetKeys() const {
  const auto* dict = Browser().dictionary;
  if (dict == nullptr || !is_dictionary()) return VarArray();
  return VarArray(PassRef(), dict->GetKeys(var_));
}

}  // namespace pp
