#pragma once

namespace tallwick_bench {

// Runs `main`, a program's main function: an exception that leaves it ends
// the program with one line on standard error, "<program>: <what>", and the
// status `failureStatus`.
int GuardedMain(const char* program, int (*main)(int, char**), int argc, char** argv, int failureStatus = 1);

}  // namespace tallwick_bench
