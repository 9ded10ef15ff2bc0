#include "header_only_memory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace tallwick::test {

#ifdef _WIN32

// The Windows suites build this too: the region is reserved without access
// and only its first page committed.
HeaderOnlyMemory::HeaderOnlyMemory(size_t segmentSize) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  regionSize_ = page + (segmentSize + page - 1) / page * page;
  void* region = VirtualAlloc(nullptr, regionSize_, MEM_RESERVE, PAGE_NOACCESS);
  if (region == nullptr || VirtualAlloc(region, page, MEM_COMMIT, PAGE_READWRITE) == nullptr) std::abort();
  region_ = static_cast<uint8_t*>(region);
  base_ = region_ + page - 52;
}

HeaderOnlyMemory::~HeaderOnlyMemory() { VirtualFree(region_, 0, MEM_RELEASE); }

#else

HeaderOnlyMemory::HeaderOnlyMemory(size_t segmentSize) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  regionSize_ = page + (segmentSize + page - 1) / page * page;
  void* region = mmap(nullptr, regionSize_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (region == MAP_FAILED || mprotect(region, page, PROT_READ | PROT_WRITE) != 0) std::abort();
  region_ = static_cast<uint8_t*>(region);
  base_ = region_ + page - 52;
}

HeaderOnlyMemory::~HeaderOnlyMemory() { munmap(region_, regionSize_); }

#endif

void HeaderOnlyMemory::Write(const RawHeader& header) {
  // RawHeader holds the header's words in their order, one field a word.
  uint32_t words[frame::kHeaderSize / 4];
  std::memcpy(words, &header, sizeof(words));
  for (size_t i = 0; i < std::size(words); ++i) frame::StoreLE32(base_ + 4 * i, words[i]);
}

}  // namespace tallwick::test
