#include "common/scope_timer.h"

#include <utility>

#include "common/clock.h"
#include "common/log_instance.h"

namespace TALLWICK_COMMON {

using TALLWICK_LOG::LogInstance;

ScopeTimer::ScopeTimer(std::string tag, std::string functionName)
    : tag_(std::move(tag)), functionName_(std::move(functionName)), start_(NowMs()) {
  LogInstance::GetInstance()->Log(tag_.c_str(), TALLWICK_LOG::kLevelInfo, "entry {}", functionName_);
}

ScopeTimer::~ScopeTimer() {
  LogInstance::GetInstance()->Log(tag_.c_str(), TALLWICK_LOG::kLevelInfo, "exit {}, cost : {}", functionName_,
                                  NowMs() - start_);
}

}  // namespace TALLWICK_COMMON
