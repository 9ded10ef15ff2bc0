#include "guarded_mapping.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace tallwick_fuzz {

namespace {

size_t PageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

size_t RoundUp(size_t size, size_t page) { return (size + page - 1) / page * page; }

}  // namespace

GuardedMapping::GuardedMapping(size_t capacity) : room_(RoundUp(capacity == 0 ? 1 : capacity, PageSize())) {
  void* mapped = mmap(nullptr, room_ + PageSize(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) std::abort();
  base_ = static_cast<uint8_t*>(mapped);
  if (mprotect(base_ + room_, PageSize(), PROT_NONE) != 0) std::abort();
}

GuardedMapping::~GuardedMapping() { munmap(base_, room_ + PageSize()); }

const uint8_t* GuardedMapping::Place(const uint8_t* data, size_t size) {
  if (size > room_) std::abort();
  uint8_t* start = base_ + room_ - size;
  if (size > 0) std::memcpy(start, data, size);
  return start;
}

}  // namespace tallwick_fuzz
