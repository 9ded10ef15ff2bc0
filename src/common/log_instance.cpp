#include "common/log_instance.h"

#include "tallwick_log.h"

namespace TALLWICK_LOG {

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
