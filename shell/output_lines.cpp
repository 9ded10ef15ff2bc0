#include "shell/output_lines.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace tallwick_shell {
namespace {

const std::chrono::steady_clock::time_point kStart = std::chrono::steady_clock::now();

}  // namespace

double ShellTimeMs() {
  const auto elapsed = std::chrono::steady_clock::now() - kStart;
  return static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) / 1000.0;
}

void WriteLine(nlohmann::json line) {
  if (line.is_object() && !line.contains("t")) line["t"] = static_cast<long long>(ShellTimeMs());
  // Text from a page may hold anything; bad UTF-8 is replaced, never thrown.
  const std::string text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);  // a reader may be waiting on each line
}

}  // namespace tallwick_shell
