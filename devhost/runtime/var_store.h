#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "host/ppapi/pp_types.h"

namespace pphost {

// Browser-side storage of the reference-counted vars: strings, dictionaries
// and arrays. Each object counts the references held through var handles
// (the module's and the host's) apart from those held by containers, so that
// what the module still holds can be told from what it merely contains.
// Ids grow from 1 and are never reused, so a stale handle never names a new
// object.
class VarStore {
 public:
  using DictionaryEntries = std::vector<std::pair<std::string, PP_Var>>;  // in insertion order

  VarStore() = default;
  VarStore(const VarStore&) = delete;
  VarStore& operator=(const VarStore&) = delete;

  // New objects hold one handle reference, for the caller.
  PP_Var MakeString(std::string_view text);
  PP_Var MakeDictionary();
  PP_Var MakeArray();

  // Plain values (undefined, null, bool, int32, double) are not counted;
  // handles of objects that no longer exist are ignored.
  void AddRef(PP_Var var);
  void Release(PP_Var var);

  const std::string* StringOf(PP_Var var) const;
  const DictionaryEntries* EntriesOf(PP_Var dict) const;
  const std::vector<PP_Var>* ElementsOf(PP_Var array) const;

  // Dictionary operations; values come back with a reference for the caller.
  PP_Var DictionaryGet(PP_Var dict, std::string_view key);
  bool DictionarySet(PP_Var dict, std::string_view key, PP_Var value);
  void DictionaryDelete(PP_Var dict, std::string_view key);
  bool DictionaryHasKey(PP_Var dict, std::string_view key) const;
  PP_Var DictionaryKeys(PP_Var dict);

  // Array operations; Set and SetLength grow the array with undefined.
  PP_Var ArrayGet(PP_Var array, uint32_t index);
  bool ArraySet(PP_Var array, uint32_t index, PP_Var value);
  uint32_t ArrayLength(PP_Var array) const;
  bool ArraySetLength(PP_Var array, uint32_t length);

  // Objects that someone still holds through a handle.
  size_t HeldCount() const;
  // Objects alive in any way (held, or only inside a container).
  size_t LiveCount() const { return objects_.size(); }

 private:
  using Array = std::vector<PP_Var>;
  struct Object {
    PP_VarType type;
    std::variant<std::string, DictionaryEntries, Array> value;
    int64_t handleRefs = 1;
    int64_t containerRefs = 0;
  };

  static bool IsCounted(PP_Var var);
  PP_Var Make(PP_VarType type, std::variant<std::string, DictionaryEntries, Array> value);
  Object* Find(PP_Var var, PP_VarType type);
  const Object* Find(PP_Var var, PP_VarType type) const;
  DictionaryEntries* Entries(PP_Var dict);
  Array* Elements(PP_Var array);
  // A value may go into a container when it is plain or a live object.
  bool CanStore(PP_Var value) const;
  void Retain(PP_Var value);
  void DropContained(PP_Var value);
  void DestroyIfUnreferenced(int64_t id);

  std::unordered_map<int64_t, Object> objects_;
  int64_t nextId_ = 1;
};

}  // namespace pphost
