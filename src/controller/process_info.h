#pragma once

#include <cstdint>
#include <string>

namespace TALLWICK_PP_RENDER {

// The plug-in process id.
int32_t CurrentProcessId();

// Sets the console title of the process (Windows; cut to 8191 UTF-16
// characters). Has no effect elsewhere. Failures are ignored.
void SetProcessTitle(const std::string& utf8Title);

}  // namespace TALLWICK_PP_RENDER
