#include <benchmark/benchmark.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "tallwick_log.h"

namespace {

namespace fs = std::filesystem;

// A line the size of the module's usual ones.
constexpr const char* kTag = "PPAPI_RENDER";
constexpr const char* kText = "instance 3: view 1280x720 at scale 1.00, stream cam-07 frame 123456 drawn";

// The log library's file settings, for the baseline.
constexpr size_t kMaxFileBytes = size_t{10} * 1024 * 1024;
constexpr size_t kMaxFiles = 5;
constexpr const char* kPattern = "%Y-%m-%d %H:%M:%S.%e %P:%t %L %v";

// A folder of its own under the temporary folder, removed with its files.
class TempFolder {
 public:
  explicit TempFolder(const std::string& what)
      : path_(fs::temp_directory_path() / ("tallwick-log-bench-" + what + "-" + std::to_string(getpid()))) {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// One info line through the log library: its mutex, its level mapping, the
// rotating file, and its flush after every line.
void BM_TallwickLogWrite(benchmark::State& state) {
  const TempFolder folder("library");
  if (CreateTallwickLogger(1, folder.path().string().c_str(), kTag, kTag, 0, 7, 0, 0) != 0) {
    state.SkipWithError("cannot open the log file");
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    benchmark::DoNotOptimize(TallwickLogWrite(kTag, 3, kText));
  }
  DestroyTallwickLogger();
}
BENCHMARK(BM_TallwickLogWrite);

// The same line straight into a spdlog logger with the same rotating file and
// pattern, flushed at `flushLevel` and above.
void WriteThroughSpdlog(benchmark::State& state, spdlog::level::level_enum flushLevel) {
  const TempFolder folder("spdlog");
  std::error_code ignored;
  fs::create_directories(folder.path(), ignored);
  auto logger = std::make_shared<spdlog::logger>(
      "baseline", std::make_shared<spdlog::sinks::rotating_file_sink_mt>((folder.path() / "baseline.log").string(),
                                                                         kMaxFileBytes, kMaxFiles));
  logger->set_pattern(kPattern);
  logger->set_level(spdlog::level::trace);
  logger->flush_on(flushLevel);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    logger->log(spdlog::level::info, "[{}] {}", kTag, kText);
  }
  logger->flush();
}

// The old policy: an info line stays in the stdio buffer until a warning.
void BM_SpdlogFlushOnWarn(benchmark::State& state) { WriteThroughSpdlog(state, spdlog::level::warn); }
BENCHMARK(BM_SpdlogFlushOnWarn);

// The new policy without the library around it: what the flush alone costs.
void BM_SpdlogFlushEveryLine(benchmark::State& state) { WriteThroughSpdlog(state, spdlog::level::trace); }
BENCHMARK(BM_SpdlogFlushEveryLine);

// A folder path inside `folder` that cannot be made: a file has its parent's name.
fs::path UnmakeableFolder(const TempFolder& folder) {
  std::error_code ignored;
  fs::create_directories(folder.path(), ignored);
  std::ofstream(folder.path() / "taken") << "a file where the log's folder would be\n";
  return folder.path() / "taken" / "logs";
}

// Creating the logger where its folder cannot be made (a file stands at the
// folder's name), as a page's bad "logPath" does: the INIT that asks for it
// waits for this. The library gives up at once; the file sink alone retries
// the open for some 40 ms.
void BM_CreateWhereNoFolderCanBeMade(benchmark::State& state) {
  const TempFolder folder("nofolder");
  const std::string path = UnmakeableFolder(folder).string();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    benchmark::DoNotOptimize(CreateTallwickLogger(1, path.c_str(), kTag, kTag, 0, 7, 0, 0));
    DestroyTallwickLogger();
  }
}
BENCHMARK(BM_CreateWhereNoFolderCanBeMade)->Unit(benchmark::kMillisecond);

// The baseline: the rotating file sink asked to open a file there.
void BM_SpdlogSinkWhereNoFolderCanBeMade(benchmark::State& state) {
  const TempFolder folder("nofolder-spdlog");
  const std::string file = (UnmakeableFolder(folder) / "baseline.log").string();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    try {
      benchmark::DoNotOptimize(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file, kMaxFileBytes, kMaxFiles));
    } catch (const std::exception&) {
    }
  }
}
BENCHMARK(BM_SpdlogSinkWhereNoFolderCanBeMade)->Unit(benchmark::kMillisecond);

}  // namespace
