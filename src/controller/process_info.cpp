#include "controller/process_info.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <unistd.h>
#endif

namespace TALLWICK_PP_RENDER {

int32_t CurrentProcessId() {
#ifdef _WIN32
  return static_cast<int32_t>(GetCurrentProcessId());
#else
  return static_cast<int32_t>(getpid());
#endif
}

#ifdef _WIN32
void SetProcessTitle(const std::string& utf8Title) {
  constexpr size_t kMaxTitleChars = 8191;
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8Title.data(), static_cast<int>(utf8Title.size()), nullptr, 0);
  std::vector<wchar_t> title(static_cast<size_t>(needed > 0 ? needed : 0) + 1, L'\0');
  if (needed > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8Title.data(), static_cast<int>(utf8Title.size()), title.data(), needed);
  }
  if (title.size() > kMaxTitleChars + 1) {
    title[kMaxTitleChars] = L'\0';
  }
  SetConsoleTitleW(title.data());
}
#else
void SetProcessTitle(const std::string& /*utf8Title*/) {}
#endif

}  // namespace TALLWICK_PP_RENDER
