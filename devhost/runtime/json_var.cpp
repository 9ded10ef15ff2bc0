#include "devhost/runtime/json_var.h"

#include <cstdint>
#include <limits>
#include <unordered_set>

namespace pphost {

namespace {

bool IsUndefinedMarker(const Json& value) {
  if (!value.is_object() || value.size() != 1) return false;
  auto it = value.find("$undefined");
  return it != value.end() && it->is_boolean() && it->get<bool>();
}

PP_Var NumberToVar(const Json& value) {
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (value.is_number_unsigned()) {
    const uint64_t number = value.get<uint64_t>();
    if (number <= static_cast<uint64_t>(kMax)) return PP_MakeInt32(static_cast<int32_t>(number));
    return PP_MakeDouble(static_cast<double>(number));
  }
  if (value.is_number_integer()) {
    const int64_t number = value.get<int64_t>();
    if (number >= kMin && number <= kMax) return PP_MakeInt32(static_cast<int32_t>(number));
    return PP_MakeDouble(static_cast<double>(number));
  }
  return PP_MakeDouble(value.get<double>());
}

PP_Var ObjectToVar(const Json& value, VarStore& vars) {
  const PP_Var dict = vars.MakeDictionary();
  for (const auto& item : value.items()) {
    const PP_Var element = JsonToVar(item.value(), vars);
    vars.DictionarySet(dict, item.key(), element);
    vars.Release(element);
  }
  return dict;
}

PP_Var ArrayToVar(const Json& value, VarStore& vars) {
  const PP_Var array = vars.MakeArray();
  uint32_t index = 0;
  for (const Json& item : value) {
    const PP_Var element = JsonToVar(item, vars);
    vars.ArraySet(array, index++, element);
    vars.Release(element);
  }
  return array;
}

class VarWriter {
 public:
  explicit VarWriter(const VarStore& vars) : vars_(vars) {}

  Json Write(PP_Var var) {
    switch (var.type) {
      case PP_VARTYPE_UNDEFINED:
        return Json{{"$undefined", true}};
      case PP_VARTYPE_NULL:
        return nullptr;
      case PP_VARTYPE_BOOL:
        return var.value.as_bool != PP_FALSE;
      case PP_VARTYPE_INT32:
        return var.value.as_int;
      case PP_VARTYPE_DOUBLE:
        return var.value.as_double;
      case PP_VARTYPE_STRING:
        return String(var);
      case PP_VARTYPE_DICTIONARY:
        return Guarded(var, [this](PP_Var dict) { return Dictionary(dict); });
      case PP_VARTYPE_ARRAY:
        return Guarded(var, [this](PP_Var array) { return Array(array); });
      default:
        return Unsupported(var);
    }
  }

 private:
  static Json Unsupported(PP_Var var) { return Json{{"$unsupported", static_cast<int>(var.type)}}; }

  Json String(PP_Var var) const {
    const std::string* text = vars_.StringOf(var);
    return text != nullptr ? Json(*text) : Unsupported(var);
  }

  template <typename Writer>
  Json Guarded(PP_Var var, Writer write) {
    const int64_t id = var.value.as_id;
    if (!open_.insert(id).second) return nullptr;
    Json result = write(var);
    open_.erase(id);
    return result;
  }

  Json Dictionary(PP_Var var) {
    const VarStore::DictionaryEntries* entries = vars_.EntriesOf(var);
    if (entries == nullptr) return Unsupported(var);
    Json result = Json::object();
    for (const auto& entry : *entries) result[entry.first] = Write(entry.second);
    return result;
  }

  Json Array(PP_Var var) {
    const std::vector<PP_Var>* elements = vars_.ElementsOf(var);
    if (elements == nullptr) return Unsupported(var);
    Json result = Json::array();
    for (const PP_Var& element : *elements) result.push_back(Write(element));
    return result;
  }

  const VarStore& vars_;
  std::unordered_set<int64_t> open_;  // containers being written, to stop at cycles
};

}  // namespace

PP_Var JsonToVar(const Json& value, VarStore& vars) {
  switch (value.type()) {
    case Json::value_t::null:
      return PP_MakeNull();
    case Json::value_t::boolean:
      return PP_MakeBool(PP_FromBool(value.get<bool>()));
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return NumberToVar(value);
    case Json::value_t::string:
      return vars.MakeString(value.get_ref<const std::string&>());
    case Json::value_t::array:
      return ArrayToVar(value, vars);
    case Json::value_t::object:
      return IsUndefinedMarker(value) ? PP_MakeUndefined() : ObjectToVar(value, vars);
    default:
      return PP_MakeUndefined();  // binary and discarded values never come from the page's text
  }
}

Json VarToJson(PP_Var var, const VarStore& vars) { return VarWriter(vars).Write(var); }

}  // namespace pphost
