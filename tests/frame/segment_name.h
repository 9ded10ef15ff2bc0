#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <string>

#include "frame/shm.h"

namespace tallwick::test {

// A segment name that no other process or test uses; the name is removed
// before use and again when the guard goes away.
class ScopedSegmentName {
 public:
  ScopedSegmentName()
      : name_("/tallwick-frame-test-" + std::to_string(ProcessId()) + "-" + std::to_string(NextNumber())) {
    shoom::Shm::Remove(name_);
  }
  ~ScopedSegmentName() { shoom::Shm::Remove(name_); }

  ScopedSegmentName(const ScopedSegmentName&) = delete;
  ScopedSegmentName& operator=(const ScopedSegmentName&) = delete;

  const std::string& Get() const { return name_; }
  // For C interfaces.
  const char* CStr() const { return name_.c_str(); }

 private:
  static int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
  }
  static int NextNumber() {
    static int number = 0;
    return number++;
  }

  std::string name_;
};

}  // namespace tallwick::test
