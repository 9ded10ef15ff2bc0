#include "page_script.h"

#include <cstring>
#include <sstream>

#include <zlib.h>

#include "page_streams.h"

namespace tallwick_fuzz {

namespace {

bool IsRole(char c) { return c != '\0' && std::strchr(kRoles, c) != nullptr; }

// Leading digits of `text` as a number, at most `cap`.
uint64_t Number(const std::string& text, uint64_t cap) {
  uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    n = n * 10 + static_cast<uint64_t>(c - '0');
    if (n > cap) return cap;
  }
  return n;
}

bool IsStream(char c) { return c >= '0' && static_cast<size_t>(c - '0') < kStreamCount; }

// "h<stream> <offset> <value>": offsets are rounded down to a word.
bool DecodePoke(const std::string& rest, PageStep* step) {
  std::istringstream words(rest.substr(1));
  std::string offset, value;
  if (!IsStream(rest[0]) || !(words >> offset >> value)) return false;
  step->kind = PageStep::Kind::kPoke;
  step->stream = static_cast<size_t>(rest[0] - '0');
  step->offset = Number(offset, (kHeaderWords - 1) * 4) / 4 * 4;
  step->value = static_cast<uint32_t>(Number(value, UINT32_MAX));
  return true;
}

bool Decode(const std::string& line, PageStep* step) {
  if (line.size() < 2) return false;
  const char head = line[0];
  const std::string rest = line.substr(1);
  if (IsRole(head)) {
    step->kind = PageStep::Kind::kMessage;
    step->role = head;
    step->msg = rest;
  } else if (head == 't') {
    step->kind = PageStep::Kind::kRun;
    step->ms = static_cast<int64_t>(Number(rest, kMaxStepMs));
  } else if ((head == 'x' || head == 'l') && IsRole(rest[0])) {
    step->kind = head == 'x' ? PageStep::Kind::kRecreate : PageStep::Kind::kContextLost;
    step->role = rest[0];
  } else if (head == 'h') {
    return DecodePoke(rest, step);
  } else if (head == 'w' && IsStream(rest[0])) {
    step->kind = PageStep::Kind::kWriteDuringUpload;
    step->stream = static_cast<size_t>(rest[0] - '0');
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool HasPixelChecksum(const std::string& text) {
  const auto crc = crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size());
  return crc % kPixelShare == 0;
}

PageScript DecodePageScript(const std::string& text) {
  PageScript script;
  std::istringstream lines(text);
  bool asksForPixels = false;
  for (std::string line; std::getline(lines, line);) {
    if (line == "P" && script.steps.empty()) asksForPixels = true;
    PageStep step;
    if (Decode(line, &step)) script.steps.push_back(std::move(step));
  }
  script.pixels = asksForPixels && HasPixelChecksum(text);
  return script;
}

}  // namespace tallwick_fuzz
