#include "finding.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "report.h"

namespace tallwick_fuzz {

namespace {

std::function<void()>& Context() {
  static std::function<void()> context;
  return context;
}

}  // namespace

void Finding(const char* check, const std::string& detail) {
  if (Context()) Context()();
  std::fprintf(Report(), "fuzz finding: %s: %s\n", check, detail.c_str());
  std::fflush(Report());
  std::abort();
}

void SetFindingContext(std::function<void()> context) { Context() = std::move(context); }

}  // namespace tallwick_fuzz
