#include "common/last_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace TALLWICK_COMMON {

std::string LastErrorString() {
#ifdef _WIN32
  const unsigned long code = GetLastError();
#else
  const unsigned long code = static_cast<unsigned int>(errno);
#endif
  return code == 0 ? std::string() : std::to_string(code);
}

std::string LastErrorText() {
#ifdef _WIN32
  const DWORD code = GetLastError();
  if (code == 0) return "no error";
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof(text), nullptr);
  std::string words(text, length);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) words.pop_back();
  return (words.empty() ? "system error" : words) + " (" + std::to_string(code) + ")";
#else
  const int code = errno;
  if (code == 0) return "no error";
  return std::string(std::strerror(code)) + " (" + std::to_string(code) + ")";
#endif
}

}  // namespace TALLWICK_COMMON
