#include "support/log_capture.h"

#include <unistd.h>

#include <atomic>

#include "common/log_instance.h"
#include "tallwick_log.h"

namespace tallwick::test {

namespace {
std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  auto folder = std::filesystem::temp_directory_path() /
                ("tallwick-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(folder);
  return folder;
}
}  // namespace

LogCapture::LogCapture() : folder_(FreshFolder()) {
  TallwickLogSetSink(&LogCapture::Sink, this);
  TALLWICK_LOG::LogInstance::GetInstance()->Create(1, folder_.string(), "PPAPI_RENDER", "PPAPI_RENDER");
}

LogCapture::~LogCapture() {
  TallwickLogSetSink(nullptr, nullptr);
  DestroyTallwickLogger();
  TALLWICK_LOG::LogInstance::DestroyInstance();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::vector<std::string> LogCapture::Matching(const std::string& needle) const {
  std::vector<std::string> found;
  for (const auto& line : lines_) {
    if (line.text.find(needle) != std::string::npos) found.push_back(line.text);
  }
  return found;
}

void LogCapture::Sink(void* self, const char* tag, int level, const char* text) {
  static_cast<LogCapture*>(self)->lines_.push_back({tag, level, text});
}

}  // namespace tallwick::test
