#include "finding.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tallwick_fuzz {

namespace {

std::function<void()>& Context() {
  static std::function<void()> context;
  return context;
}

}  // namespace

void Finding(const char* check, const std::string& detail) {
  if (Context()) Context()();
  std::fprintf(stderr, "fuzz finding: %s: %s\n", check, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

void SetFindingContext(std::function<void()> context) { Context() = std::move(context); }

}  // namespace tallwick_fuzz
