#include "devhost/page/script_fields.h"

#include <cmath>
#include <limits>

namespace pphost {

namespace {

[[noreturn]] void Fail(const char* name, const char* what) {
  throw ScriptError(std::string("field \"") + name + "\" must be " + what);
}

}  // namespace

const Json* OptionalField(const Json& line, const char* name) {
  auto it = line.find(name);
  return it != line.end() ? &*it : nullptr;
}

const Json& RequiredField(const Json& line, const char* name) {
  const Json* value = OptionalField(line, name);
  if (value == nullptr) throw ScriptError(std::string("missing field \"") + name + "\"");
  return *value;
}

std::string AsString(const Json& value, const char* name) {
  if (!value.is_string()) Fail(name, "a string");
  return value.get<std::string>();
}

bool AsBool(const Json& value, const char* name) {
  if (!value.is_boolean()) Fail(name, "true or false");
  return value.get<bool>();
}

double AsNumber(const Json& value, const char* name) {
  if (!value.is_number()) Fail(name, "a number");
  return value.get<double>();
}

int64_t AsInt64(const Json& value, const char* name) {
  if (value.is_number_unsigned()) {
    if (value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) Fail(name, "smaller");
    return static_cast<int64_t>(value.get<uint64_t>());
  }
  if (value.is_number_integer()) return value.get<int64_t>();
  // 5.0 is an integer all the same.
  if (value.is_number_float()) {
    const double number = value.get<double>();
    if (std::trunc(number) == number && std::fabs(number) < 9.0e18) return static_cast<int64_t>(number);
  }
  Fail(name, "an integer");
}

int32_t AsInt32(const Json& value, const char* name) {
  const int64_t number = AsInt64(value, name);
  if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max()) {
    Fail(name, "a 32-bit integer");
  }
  return static_cast<int32_t>(number);
}

PP_Rect AsRect(const Json& value, const char* name) {
  if (!value.is_array() || value.size() != 4) Fail(name, "[x, y, w, h]");
  return PP_MakeRectFromXYWH(AsInt32(value[0], name), AsInt32(value[1], name), AsInt32(value[2], name),
                             AsInt32(value[3], name));
}

const Json& RequiredId(const Json& line) {
  const Json& id = RequiredField(line, "id");
  if (!id.is_string() && !id.is_number()) Fail("id", "a string or a number");
  return id;
}

}  // namespace pphost
