#pragma once

#include <fmt/format.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "common/rate_limiter.h"
#include "common/singleton.h"

namespace TALLWICK_LOG {

// Tag of every line the module writes.
inline constexpr const char* kModuleTag = "PPAPI_RENDER";

// Log levels the module uses.
enum LogLevel : int {
  kLevelLifecycle = 2,  // construction and destruction
  kLevelInfo = 3,       // ordinary events and decisions
  kLevelWarning = 4,    // recoverable anomalies
  kLevelError = 5,      // failures
};

// The module's logging facade: formats a line and hands it to the log library.
// Everything logged before Create is dropped, without formatting.
class LogInstance : public TALLWICK_COMMON::Singleton<LogInstance> {
 public:
  // Enables the facade and creates the library's logger.
  void Create(int version, const std::string& path, const std::string& name, const std::string& name2);

  template <typename... Args>
  void Log(const char* tag, int level, const char* format, const Args&... args) {
    if (!m_enabled.load(std::memory_order_relaxed)) {
      return;
    }
    Write(tag, level, format, fmt::make_format_args(args...));
  }

  bool IsEnabled() const { return m_enabled.load(std::memory_order_relaxed); }

 private:
  friend class TALLWICK_COMMON::Singleton<LogInstance>;
  LogInstance() = default;

  void Write(const char* tag, int level, fmt::string_view format, fmt::format_args args);

  std::atomic<bool> m_enabled{false};
};

// Shorthand for a module line: LogAt(kLevelInfo, "[Class] ...", args...).
template <typename... Args>
void LogAt(int level, const char* format, const Args&... args) {
  LogInstance::GetInstance()->Log(kModuleTag, level, format, args...);
}

// A line that would repeat on every tick, written at most once per
// kLogRateLimitMs. One function-local static per call site:
//   static LimitedLine line;
//   line.Log(kLevelInfo, "[Class] ...", args...);
class LimitedLine {
 public:
  // Whether the line is due now; a due line counts as written.
  bool Allow() { return limiter_.Allow(); }

  template <typename... Args>
  void Log(int level, const char* format, const Args&... args) {
    if (Allow()) LogAt(level, format, args...);
  }

 private:
  TALLWICK_COMMON::RateLimiter limiter_{TALLWICK_COMMON::kLogRateLimitMs};
};

// An object's address as log lines write it ("this[{:#08x}]").
inline uintptr_t ObjectAddress(const void* object) { return reinterpret_cast<uintptr_t>(object); }

// Calls the log library's destroy function (module shutdown).
void DestroyLibraryLogger();

}  // namespace TALLWICK_LOG
