#pragma once

#include <windows.h>

#include <string>

namespace tallwick::test {

// A mapping name no other process or test uses. Windows removes a mapping
// with its last handle, so there is nothing to clean up.
inline std::string UniqueMappingName() {
  static int number = 0;
  return "/tallwick-windows-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(number++);
}

}  // namespace tallwick::test
