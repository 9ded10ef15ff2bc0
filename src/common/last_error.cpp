#include "common/last_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
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

}  // namespace TALLWICK_COMMON
