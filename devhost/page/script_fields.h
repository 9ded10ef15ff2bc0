#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "devhost/json.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// An input line that cannot be carried out; its text becomes the `error` line.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reading the fields of an input line; each throws ScriptError with a clear
// text when the field is missing or of the wrong kind.
const Json& RequiredField(const Json& line, const char* name);
const Json* OptionalField(const Json& line, const char* name);

std::string AsString(const Json& value, const char* name);
bool AsBool(const Json& value, const char* name);
double AsNumber(const Json& value, const char* name);
int32_t AsInt32(const Json& value, const char* name);
int64_t AsInt64(const Json& value, const char* name);
// [x, y, w, h] of 32-bit integers.
PP_Rect AsRect(const Json& value, const char* name);

// The page's name for an instance: a string or a number.
const Json& RequiredId(const Json& line);

}  // namespace pphost
