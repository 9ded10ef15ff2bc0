#include "common/debug_trace.h"

#include <cstdarg>
#include <cwchar>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <string>
#endif

namespace TALLWICK_LOG {

namespace {

constexpr size_t kTraceBufferChars = 4096;

#ifndef _WIN32
// Encodes the wide text as UTF-8 without depending on the process locale.
std::string ToUtf8(const wchar_t* text) {
  std::string out;
  for (; *text != L'\0'; ++text) {
    const auto c = static_cast<uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*text));
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
#endif

}  // namespace

void DebugTrace(const wchar_t* format, ...) {
  wchar_t buffer[kTraceBufferChars] = {};
  va_list args;
  va_start(args, format);
  // The analyzer of clang-tidy 14 misses the va_start above.
  std::vswprintf(buffer, kTraceBufferChars, format, args);  // NOLINT(clang-analyzer-valist.Uninitialized)
  va_end(args);
#ifdef _WIN32
  OutputDebugStringW(buffer);
#else
  std::string line = ToUtf8(buffer);
  if (line.empty() || line.back() != '\n') {
    line += '\n';
  }
  std::fputs(line.c_str(), stderr);
#endif
}

}  // namespace TALLWICK_LOG
