#include "header_only_memory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdlib>

namespace tallwick::test {

namespace {

void PutWord(uint8_t* base, size_t offset, uint32_t value) {
  for (size_t byte = 0; byte < 4; ++byte) base[offset + byte] = static_cast<uint8_t>(value >> (8 * byte));
}

}  // namespace

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
  PutWord(base_, 0, header.frameId);
  PutWord(base_, 4, header.state);
  PutWord(base_, 8, header.reserved0);
  PutWord(base_, 12, header.width);
  PutWord(base_, 16, header.height);
  PutWord(base_, 20, header.planS0);
  PutWord(base_, 24, header.planS1);
  PutWord(base_, 28, header.planS2);
  PutWord(base_, 32, header.rotation);
  PutWord(base_, 36, header.flip);
  PutWord(base_, 40, header.reserved1);
  PutWord(base_, 44, header.format);
  PutWord(base_, 48, header.reserved2);
}

}  // namespace tallwick::test
