#include "support/guarded_main.h"

#include <cstdio>
#include <exception>

namespace tallwick_bench {

int GuardedMain(const char* program, int (*main)(int, char**), int argc, char** argv, int failureStatus) {
  try {
    return main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    return failureStatus;
  }
}

}  // namespace tallwick_bench
