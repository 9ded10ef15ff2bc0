#include "devhost/runtime/var_store.h"

#include <algorithm>

namespace pphost {

namespace {

// Refuses to grow an array this far: one stray index must not take the
// host's memory.
constexpr uint32_t kMaxArrayLength = 1u << 24;

PP_Var ObjectVar(PP_VarType type, int64_t id) {
  PP_Var var = PP_MakeUndefined();
  var.type = type;
  var.value.as_id = id;
  return var;
}

}  // namespace

bool VarStore::IsCounted(PP_Var var) {
  switch (var.type) {
    case PP_VARTYPE_STRING:
    case PP_VARTYPE_OBJECT:
    case PP_VARTYPE_ARRAY:
    case PP_VARTYPE_DICTIONARY:
    case PP_VARTYPE_ARRAY_BUFFER:
    case PP_VARTYPE_RESOURCE:
      return true;
    default:
      return false;
  }
}

PP_Var VarStore::Make(PP_VarType type, std::variant<std::string, DictionaryEntries, Array> value) {
  const int64_t id = nextId_++;
  objects_.emplace(id, Object{type, std::move(value)});
  return ObjectVar(type, id);
}

PP_Var VarStore::MakeString(std::string_view text) { return Make(PP_VARTYPE_STRING, std::string(text)); }
PP_Var VarStore::MakeDictionary() { return Make(PP_VARTYPE_DICTIONARY, DictionaryEntries{}); }
PP_Var VarStore::MakeArray() { return Make(PP_VARTYPE_ARRAY, Array{}); }

VarStore::Object* VarStore::Find(PP_Var var, PP_VarType type) {
  if (var.type != type) return nullptr;
  auto it = objects_.find(var.value.as_id);
  return it != objects_.end() && it->second.type == type ? &it->second : nullptr;
}

const VarStore::Object* VarStore::Find(PP_Var var, PP_VarType type) const {
  return const_cast<VarStore*>(this)->Find(var, type);
}

void VarStore::AddRef(PP_Var var) {
  if (!IsCounted(var)) return;
  if (Object* object = Find(var, var.type)) ++object->handleRefs;
}

void VarStore::Release(PP_Var var) {
  if (!IsCounted(var)) return;
  Object* object = Find(var, var.type);
  if (object == nullptr || object->handleRefs <= 0) return;
  --object->handleRefs;
  DestroyIfUnreferenced(var.value.as_id);
}

const std::string* VarStore::StringOf(PP_Var var) const {
  const Object* object = Find(var, PP_VARTYPE_STRING);
  return object != nullptr ? &std::get<std::string>(object->value) : nullptr;
}

const VarStore::DictionaryEntries* VarStore::EntriesOf(PP_Var dict) const {
  return const_cast<VarStore*>(this)->Entries(dict);
}

const std::vector<PP_Var>* VarStore::ElementsOf(PP_Var array) const {
  return const_cast<VarStore*>(this)->Elements(array);
}

VarStore::DictionaryEntries* VarStore::Entries(PP_Var dict) {
  Object* object = Find(dict, PP_VARTYPE_DICTIONARY);
  return object != nullptr ? &std::get<DictionaryEntries>(object->value) : nullptr;
}

VarStore::Array* VarStore::Elements(PP_Var array) {
  Object* object = Find(array, PP_VARTYPE_ARRAY);
  return object != nullptr ? &std::get<Array>(object->value) : nullptr;
}

bool VarStore::CanStore(PP_Var value) const { return !IsCounted(value) || Find(value, value.type) != nullptr; }

void VarStore::Retain(PP_Var value) {
  if (!IsCounted(value)) return;
  if (Object* object = Find(value, value.type)) ++object->containerRefs;
}

void VarStore::DropContained(PP_Var value) {
  if (!IsCounted(value)) return;
  Object* object = Find(value, value.type);
  if (object == nullptr || object->containerRefs <= 0) return;
  --object->containerRefs;
  DestroyIfUnreferenced(value.value.as_id);
}

// Destroys the object when nothing refers to it any more, then lets go of
// whatever it contained (with a work list, so deep nesting does not recurse).
void VarStore::DestroyIfUnreferenced(int64_t id) {
  std::vector<PP_Var> released;
  auto drop = [&](int64_t candidate) {
    auto it = objects_.find(candidate);
    if (it == objects_.end() || it->second.handleRefs > 0 || it->second.containerRefs > 0) return;
    Object object = std::move(it->second);
    objects_.erase(it);
    if (auto* entries = std::get_if<DictionaryEntries>(&object.value)) {
      for (auto& entry : *entries) released.push_back(entry.second);
    } else if (auto* elements = std::get_if<Array>(&object.value)) {
      released.insert(released.end(), elements->begin(), elements->end());
    }
  };
  drop(id);
  while (!released.empty()) {
    const PP_Var value = released.back();
    released.pop_back();
    if (!IsCounted(value)) continue;
    auto it = objects_.find(value.value.as_id);
    if (it == objects_.end() || it->second.containerRefs <= 0) continue;
    --it->second.containerRefs;
    drop(value.value.as_id);
  }
}

PP_Var VarStore::DictionaryGet(PP_Var dict, std::string_view key) {
  const DictionaryEntries* entries = Entries(dict);
  if (entries == nullptr) return PP_MakeUndefined();
  for (const auto& entry : *entries) {
    if (entry.first == key) {
      AddRef(entry.second);
      return entry.second;
    }
  }
  return PP_MakeUndefined();
}

bool VarStore::DictionarySet(PP_Var dict, std::string_view key, PP_Var value) {
  if (Entries(dict) == nullptr || !CanStore(value)) return false;
  Retain(value);
  // Retain may not move the map's nodes, but look the entries up again all
  // the same: `value` may be this very dictionary.
  DictionaryEntries& entries = *Entries(dict);
  auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.first == key; });
  if (it == entries.end()) {
    entries.emplace_back(std::string(key), value);
    return true;
  }
  const PP_Var old = it->second;
  it->second = value;
  DropContained(old);
  return true;
}

void VarStore::DictionaryDelete(PP_Var dict, std::string_view key) {
  DictionaryEntries* entries = Entries(dict);
  if (entries == nullptr) return;
  auto it = std::find_if(entries->begin(), entries->end(), [&](const auto& entry) { return entry.first == key; });
  if (it == entries->end()) return;
  const PP_Var old = it->second;
  entries->erase(it);
  DropContained(old);
}

bool VarStore::DictionaryHasKey(PP_Var dict, std::string_view key) const {
  const DictionaryEntries* entries = EntriesOf(dict);
  if (entries == nullptr) return false;
  return std::any_of(entries->begin(), entries->end(), [&](const auto& entry) { return entry.first == key; });
}

PP_Var VarStore::DictionaryKeys(PP_Var dict) {
  const DictionaryEntries* entries = Entries(dict);
  if (entries == nullptr) return PP_MakeNull();
  std::vector<std::string> keys;
  for (const auto& entry : *entries) keys.push_back(entry.first);
  const PP_Var array = MakeArray();
  for (uint32_t i = 0; i < keys.size(); ++i) {
    const PP_Var key = MakeString(keys[i]);
    ArraySet(array, i, key);
    Release(key);
  }
  return array;
}

PP_Var VarStore::ArrayGet(PP_Var array, uint32_t index) {
  const Array* elements = Elements(array);
  if (elements == nullptr || index >= elements->size()) return PP_MakeUndefined();
  const PP_Var value = (*elements)[index];
  AddRef(value);
  return value;
}

bool VarStore::ArraySet(PP_Var array, uint32_t index, PP_Var value) {
  if (Elements(array) == nullptr || !CanStore(value) || index >= kMaxArrayLength) return false;
  Retain(value);
  Array& elements = *Elements(array);
  if (index >= elements.size()) elements.resize(static_cast<size_t>(index) + 1, PP_MakeUndefined());
  const PP_Var old = elements[index];
  elements[index] = value;
  DropContained(old);
  return true;
}

uint32_t VarStore::ArrayLength(PP_Var array) const {
  const Array* elements = ElementsOf(array);
  return elements != nullptr ? static_cast<uint32_t>(elements->size()) : 0;
}

bool VarStore::ArraySetLength(PP_Var array, uint32_t length) {
  Array* elements = Elements(array);
  if (elements == nullptr || length > kMaxArrayLength) return false;
  std::vector<PP_Var> cut;
  if (length < elements->size()) cut.assign(elements->begin() + length, elements->end());
  elements->resize(length, PP_MakeUndefined());
  for (const PP_Var& value : cut) DropContained(value);
  return true;
}

size_t VarStore::HeldCount() const {
  return static_cast<size_t>(
      std::count_if(objects_.begin(), objects_.end(), [](const auto& entry) { return entry.second.handleRefs > 0; }));
}

}  // namespace pphost
