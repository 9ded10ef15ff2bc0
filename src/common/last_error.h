#pragma once

#include <string>

namespace TALLWICK_COMMON {

// The calling thread's last system error (errno on POSIX, GetLastError on
// Windows) as unsigned decimal text; "" when it is 0.
std::string LastErrorString();

}  // namespace TALLWICK_COMMON
