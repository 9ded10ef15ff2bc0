#pragma once

namespace TALLWICK_LOG {

// Writes one printf-style line to the debugger output (Windows) or to
// standard error (POSIX). Used for a few construction and destruction traces.
void DebugTrace(const wchar_t* format, ...);

}  // namespace TALLWICK_LOG
