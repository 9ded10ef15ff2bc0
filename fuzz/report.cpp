#include "report.h"

#include <unistd.h>

namespace tallwick_fuzz {

namespace {

std::FILE* OpenReport() {
  const int fd = dup(STDERR_FILENO);
  std::FILE* stream = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (stream == nullptr) return stderr;
  // A line at a time, as the standard error's own lines come when tracing.
  std::setvbuf(stream, nullptr, _IOLBF, 0);
  return stream;
}

// Made before main, so before libFuzzer closes the standard error.
std::FILE* const kReport = OpenReport();

}  // namespace

std::FILE* Report() { return kReport; }

}  // namespace tallwick_fuzz
