#pragma once

#include <functional>
#include <string>

namespace tallwick_fuzz {

// A check of a fuzz target failed: the defect is told on standard error,
// with the check's name and what the target can tell of the input's
// history (SetFindingContext), and the process aborts, so that libFuzzer
// keeps the input as a finding just as it keeps a crash.
[[noreturn]] void Finding(const char* check, const std::string& detail);

// What a finding also writes to standard error, before it aborts.
void SetFindingContext(std::function<void()> context);

}  // namespace tallwick_fuzz
