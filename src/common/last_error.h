#pragma once

#include <string>

namespace TALLWICK_COMMON {

// The calling thread's last system error (errno on POSIX, GetLastError on
// Windows) as unsigned decimal text; "" when it is 0.
std::string LastErrorString();

// The same error as the system's own words, "No such file or directory (2)";
// "no error" when it is 0.
std::string LastErrorText();

}  // namespace TALLWICK_COMMON
