#pragma once

#include <cstdint>
#include <string>

namespace TALLWICK_COMMON {

// Brackets a function body with "entry {}" and "exit {}, cost : {}" lines.
class ScopeTimer {
 public:
  ScopeTimer(std::string tag, std::string functionName);
  ~ScopeTimer();

  ScopeTimer(const ScopeTimer&) = delete;
  ScopeTimer& operator=(const ScopeTimer&) = delete;

 private:
  std::string tag_;
  std::string functionName_;
  int64_t start_;
};

}  // namespace TALLWICK_COMMON
