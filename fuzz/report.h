#pragma once

#include <cstdio>

namespace tallwick_fuzz {

// Where the harness tells findings and traces: the process's standard error
// as it was when the process started. libFuzzer's -close_fd_mask=2 (which
// scripts/fuzz.sh passes) sends what the code under test writes there to
// /dev/null, the module's debug traces among them, a few lines each input;
// this stream still reaches the terminal or the run's log.
std::FILE* Report();

}  // namespace tallwick_fuzz
