#include "memory/process_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace tallwick_bench {

namespace {

int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t totalPages = 0;
  int64_t residentPages = 0;
  if (!(statm >> totalPages >> residentPages)) return -1;
  return residentPages * sysconf(_SC_PAGESIZE);
}

}  // namespace

ProcessMemory MeasureProcessMemory() {
  ProcessMemory memory;
  memory.residentBytes = ResidentBytes();
  const struct mallinfo2 heap = mallinfo2();
  // In use: allocated from the arenas, and the large blocks malloc maps itself.
  memory.heapInUseBytes = static_cast<int64_t>(heap.uordblks + heap.hblkhd);
  return memory;
}

void ReturnFreeHeap() { malloc_trim(0); }

}  // namespace tallwick_bench
