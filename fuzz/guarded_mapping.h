#pragma once

#include <cstddef>
#include <cstdint>

namespace tallwick_fuzz {

// Room for up to `capacity` bytes that end right before an inaccessible page,
// so that any read past the bytes faults, in our code and in the GL driver's
// alike (the driver is not instrumented by the sanitizers).
class GuardedMapping {
 public:
  explicit GuardedMapping(size_t capacity);
  ~GuardedMapping();
  GuardedMapping(const GuardedMapping&) = delete;
  GuardedMapping& operator=(const GuardedMapping&) = delete;

  // Copies `size` bytes (at most the capacity) so that they end at the guard
  // page; returns where they start. A mapping of exactly `size` bytes.
  const uint8_t* Place(const uint8_t* data, size_t size);

 private:
  uint8_t* base_ = nullptr;
  size_t room_ = 0;  // accessible bytes before the guard page
};

}  // namespace tallwick_fuzz
