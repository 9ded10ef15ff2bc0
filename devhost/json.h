#pragma once

#include <nlohmann/json.hpp>

namespace pphost {

// Every JSON value of the page protocol. Ordered, so output keys come out in
// the order they are written.
using Json = nlohmann::ordered_json;

// One line of JSON text; invalid UTF-8 from the module is replaced rather
// than refused.
inline std::string DumpLine(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace pphost
