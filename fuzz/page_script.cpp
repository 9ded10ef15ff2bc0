#include "page_script.h"

#include <cstring>
#include <sstream>

namespace tallwick_fuzz {

namespace {

bool IsRole(char c) { return c != '\0' && std::strchr(kRoles, c) != nullptr; }

int64_t Milliseconds(const std::string& digits) {
  int64_t ms = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    ms = ms * 10 + (c - '0');
    if (ms > kMaxStepMs) return kMaxStepMs;
  }
  return ms;
}

bool Decode(const std::string& line, PageStep* step) {
  if (line.size() < 2) return false;
  const char head = line[0];
  const std::string rest = line.substr(1);
  if (IsRole(head)) {
    *step = {PageStep::Kind::kMessage, head, rest, 0};
  } else if (head == 't') {
    *step = {PageStep::Kind::kRun, 'c', "", Milliseconds(rest)};
  } else if ((head == 'x' || head == 'l') && IsRole(rest[0])) {
    *step = {head == 'x' ? PageStep::Kind::kRecreate : PageStep::Kind::kContextLost, rest[0], "", 0};
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::vector<PageStep> DecodePageScript(const std::string& text) {
  std::vector<PageStep> steps;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    PageStep step;
    if (Decode(line, &step)) steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace tallwick_fuzz
