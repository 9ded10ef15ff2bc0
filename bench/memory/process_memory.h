#pragma once

#include <cstdint>

namespace tallwick_bench {

// This process's resident set (bytes, from /proc/self/statm) and the bytes
// its heap has handed out and not taken back (mallinfo2: from the arenas and
// in malloc's own mapped blocks), or -1 when unknown.
struct ProcessMemory {
  int64_t residentBytes = -1;
  int64_t heapInUseBytes = -1;
};

ProcessMemory MeasureProcessMemory();

// Gives the heap's free pages back to the system (malloc_trim), so that the
// resident set counts what is in use rather than what the allocator keeps.
void ReturnFreeHeap();

}  // namespace tallwick_bench
