#include "host/var_array.h"

#include "host/browser_interfaces.h"

namespace pp {

namespace {

PP_Var NewArray() {
  const auto* array = Browser().array;
  if (array != nullptr) return array->Create();
  PP_Var null{};
  null.type = PP_VARTYPE_NULL;
  return null;
}

}  // namespace

VarArray::VarArray() : Var(PassRef(), NewArray()) {}

VarArray::VarArray(const Var& var) : Var(var.is_array() ? var : Var(PassRef(), NewArray())) {}

VarArray::VarArray(PassRef, const PP_Var& var)
    : Var(var.type == PP_VARTYPE_ARRAY ? Var(PassRef(), var) : Var(PassRef(), NewArray())) {
  if (var.type != PP_VARTYPE_ARRAY) ReleaseVar(var);
}

Var VarArray::Get(uint32_t index) const {
  const auto* array = Browser().array;
  if (array == nullptr || !is_array()) return Var();
  return Var(PassRef(), array->Get(var_, index));
}

bool VarArray::Set(uint32_t index, const Var& value) {
  const auto* array = Browser().array;
  return array != nullptr && is_array() && PP_ToBool(array->Set(var_, index, value.pp_var()));
}

uint32_t VarArray::GetLength() const {
  const auto* array = Browser().array;
  return array != nullptr && is_array() ? array->GetLength(var_) : 0;
}

bool VarArray::SetLength(uint32_t length) {
  const auto* array = Browser().array;
  return array != nullptr && is_array() && PP_ToBool(array->SetLength(var_, length));
}

}  // namespace pp
