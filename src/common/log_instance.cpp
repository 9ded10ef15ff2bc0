#include "common/log_instance.h"

#include "tallwick_log.h"

namespace TALLWICK_LOG {

// The module's levels are the log library's, by number.
static_assert(static_cast<int>(kLevelLifecycle) == static_cast<int>(TALLWICK_LOG_DEBUG));
static_assert(static_cast<int>(kLevelInfo) == static_cast<int>(TALLWICK_LOG_INFO));
static_assert(static_cast<int>(kLevelWarning) == static_cast<int>(TALLWICK_LOG_WARNING));
static_assert(static_cast<int>(kLevelError) == static_cast<int>(TALLWICK_LOG_ERROR));

void LogInstance::Create(int version, const std::string& path, const std::string& name, const std::string& name2) {
  m_enabled.store(true, std::memory_order_relaxed);
  CreateTallwickLogger(version, path.c_str(), name.c_str(), name2.c_str(), 0, 7, 0, 0);
}

void LogInstance::Write(const char* tag, int level, fmt::string_view format, fmt::format_args args) {
  std::string text;
  try {
    text = fmt::vformat(format, args);
  } catch (const fmt::format_error& error) {
    // A bad format string must never take the host down: log what we know.
    text = fmt::format("bad log format \"{}\": {}", format, error.what());
  }
  TallwickLogWrite(tag, level, text.c_str());
}

void DestroyLibraryLogger() { DestroyTallwickLogger(); }

}  // namespace TALLWICK_LOG
