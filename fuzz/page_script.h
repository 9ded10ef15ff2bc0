#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tallwick_fuzz {

// One step of a page script decoded from fuzz bytes.
struct PageStep {
  enum class Kind { kMessage, kRun, kRecreate, kContextLost, kPoke, kWriteDuringUpload };
  Kind kind = Kind::kRun;
  char role = 'c';     // 'c' controller, 'r' single-stream render element, 'g' gallery element
  std::string msg;     // kMessage: the message, as JSON text
  int64_t ms = 0;      // kRun: virtual milliseconds
  size_t stream = 0;   // kPoke, kWriteDuringUpload: which stream (page_streams.h)
  size_t offset = 0;   // kPoke: byte offset of a header word
  uint32_t value = 0;  // kPoke: the word written there
};

// A decoded script: its steps, and whether the input draws real pixels.
struct PageScript {
  std::vector<PageStep> steps;
  bool pixels = false;
};

// The page ids of the three elements each input starts with.
inline constexpr const char* kRoles = "crg";

// Decodes one step per line of `text`; lines that say nothing are skipped.
//   c{...}  r{...}  g{...}   a message (any JSON value) to that element
//   t<ms>                    a timer step (at most kMaxStepMs)
//   x<role>                  destroys the element and creates it again
//   l<role>                  loses the element's 3D contexts
//   h<stream> <offset> <n>   writes the header word at byte `offset` of the
//                            stream's next frame (any field, any state)
//   w<stream>                the stream's writer starts its next frame in
//                            the middle of the next upload the module makes
//   P                        as the first line: the input runs on real GL,
//                            with pictures, when its CRC-32 is a multiple
//                            of kPixelShare (HasPixelChecksum)
//   anything else            nothing ("#nonce 17" makes a seed's CRC fit)
PageScript DecodePageScript(const std::string& text);

// A run on real GL costs a hundred or more pixel-free ones, and inputs that
// ask for pixels would otherwise fill the corpus (their GL paths count as
// coverage). So an input asks with its first line, and gets them when its
// CRC-32 (zlib's, as gzip writes it) is a multiple of this: one in 256 of
// the mutations of such an input, whatever it inherits.
inline constexpr uint32_t kPixelShare = 256;
bool HasPixelChecksum(const std::string& text);

// Bounds on the virtual time one input runs, so that an input costs about
// as much as a few seconds of a page: per step, and in all.
inline constexpr int64_t kMaxStepMs = 3000;
inline constexpr int64_t kMaxInputMs = 8000;

}  // namespace tallwick_fuzz
