#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tallwick_fuzz {

// One step of a page script decoded from fuzz bytes.
struct PageStep {
  enum class Kind { kMessage, kRun, kRecreate, kContextLost };
  Kind kind = Kind::kRun;
  char role = 'c';  // 'c' controller, 'r' single-stream render element, 'g' gallery element
  std::string msg;  // kMessage: the message, as JSON text
  int64_t ms = 0;   // kRun: virtual milliseconds
};

// The page ids of the three elements each input starts with.
inline constexpr const char* kRoles = "crg";

// Decodes one step per line of `text`; lines that say nothing are skipped.
//   c{...}  r{...}  g{...}   a message (any JSON value) to that element
//   t<ms>                    a timer step (at most kMaxStepMs)
//   x<role>                  destroys the element and creates it again
//   l<role>                  loses the element's 3D contexts
std::vector<PageStep> DecodePageScript(const std::string& text);

// Bounds on the virtual time one input runs, so that an input costs about
// as much as a few seconds of a page: per step, and in all.
inline constexpr int64_t kMaxStepMs = 3000;
inline constexpr int64_t kMaxInputMs = 8000;

}  // namespace tallwick_fuzz
