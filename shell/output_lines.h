#pragma once

#include <nlohmann/json.hpp>

namespace tallwick_shell {

// Writes one JSON object a line to standard output, flushed, with "t" (ms
// since the shell started) added when the object has none. Main thread only.
void WriteLine(nlohmann::json line);

// Milliseconds since the shell started.
double ShellTimeMs();

}  // namespace tallwick_shell
