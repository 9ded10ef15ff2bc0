#include "tallwick_log.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

namespace {

constexpr size_t kMaxFileBytes = size_t{10} * 1024 * 1024;
constexpr size_t kMaxFiles = 5;

struct LoggerState {
  std::mutex mutex;
  std::shared_ptr<spdlog::logger> logger;  // null while not created
  std::filesystem::path file;
  TallwickLogSink sink = nullptr;
  void* sinkContext = nullptr;
};

LoggerState& State() {
  static LoggerState state;
  return state;
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

std::filesystem::path DefaultFolder() {
#ifdef _WIN32
  std::error_code failed;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(failed);  // %TMP%, %TEMP%, ...
  return (failed ? std::filesystem::path(".") : temp) / "tallwick-log";
#else
  const char* tmp = std::getenv("TMPDIR");
  return std::filesystem::path(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") / "tallwick-log";
#endif
}

std::filesystem::path LogFile(const char* path, const char* name) {
  const std::string folder = OrEmpty(path);
  std::string stem = OrEmpty(name);
  for (char& c : stem) {
    if (c == '/' || c == '\\') c = '_';
  }
  if (stem.empty()) stem = "tallwick";
  return (folder.empty() ? DefaultFolder() : std::filesystem::path(folder)) / (stem + ".log");
}

spdlog::level::level_enum ToSpdLevel(int level) {
  if (level <= TALLWICK_LOG_DEBUG) return spdlog::level::debug;
  if (level == TALLWICK_LOG_INFO) return spdlog::level::info;
  if (level == TALLWICK_LOG_WARNING) return spdlog::level::warn;
  if (level == TALLWICK_LOG_ERROR) return spdlog::level::err;
  return spdlog::level::critical;
}

// Whether the log's folder is there, made now if need be. The file sink
// retries a failed open for some 40 ms, blocking the caller (the page's
// INIT), which is worth it only where the folder is.
bool FolderReady(const std::filesystem::path& folder) {
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  return std::filesystem::is_directory(folder, failed);
}

// A logger with the rotating file when it can be opened, otherwise with no
// sink at all (the hook still gets every line).
std::shared_ptr<spdlog::logger> MakeLogger(const std::filesystem::path& file, bool& fileOpened) {
  auto logger = std::make_shared<spdlog::logger>("tallwick");
  fileOpened = false;
  if (FolderReady(file.parent_path())) {
    try {
      logger->sinks().push_back(
          std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file.string(), kMaxFileBytes, kMaxFiles));
      fileOpened = true;
    } catch (const std::exception&) {
      logger->sinks().clear();
    }
  }
  logger->set_pattern("%Y-%m-%d %H:%M:%S.%e %P:%t %L %v");
  logger->set_level(spdlog::level::trace);
  // The host may end the plug-in process with SIGKILL and no shutdown call, so
  // a line left in the stdio buffer would be lost or cut. Handing every line to
  // the kernel (fflush, no fsync) keeps it: the kernel writes out what it holds
  // when the process is killed.
  logger->flush_on(spdlog::level::trace);
  return logger;
}

}  // namespace

extern "C" {

int CreateTallwickLogger(int /*version*/, const char* path, const char* name, const char* /*name2*/, int /*reserved1*/,
                         int /*reserved2*/, int /*reserved3*/, int /*reserved4*/) {
  LoggerState& state = State();
  const std::filesystem::path file = LogFile(path, name);
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.logger != nullptr && state.file == file) {
    return 0;
  }
  if (state.logger != nullptr) {
    state.logger->flush();
  }
  bool fileOpened = false;
  state.logger = MakeLogger(file, fileOpened);
  state.file = file;
  return fileOpened ? 0 : -1;
}

int TallwickLogWrite(const char* tag, int level, const char* text) {
  LoggerState& state = State();
  std::shared_ptr<spdlog::logger> logger;
  TallwickLogSink sink = nullptr;
  void* sinkContext = nullptr;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    logger = state.logger;
    sink = state.sink;
    sinkContext = state.sinkContext;
  }
  if (logger == nullptr) {
    return -1;
  }
  try {
    logger->log(ToSpdLevel(level), "[{}] {}", OrEmpty(tag), OrEmpty(text));
  } catch (const std::exception&) {
    // A full disk or a closed file must not reach the caller.
  }
  if (sink != nullptr) {
    sink(sinkContext, OrEmpty(tag), level, OrEmpty(text));
  }
  return 0;
}

int DestroyTallwickLogger(void) {
  LoggerState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.logger != nullptr) {
    try {
      state.logger->flush();
    } catch (const std::exception&) {
    }
  }
  state.logger.reset();
  state.file.clear();
  return 0;
}

void TallwickLogSetSink(TallwickLogSink sink, void* context) {
  LoggerState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.sink = sink;
  state.sinkContext = context;
}

}  // extern "C"
