#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tallwick::test {

struct CapturedLine {
  std::string tag;
  int level;
  std::string text;
};

// Creates the module's logger in a fresh temporary folder and collects every
// line through the log library's sink. Destroys the logger and the facade on
// exit, so each test starts with logging off.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();

  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<CapturedLine>& Lines() const { return lines_; }
  // Lines whose text contains `needle`.
  std::vector<std::string> Matching(const std::string& needle) const;
  void Clear() { lines_.clear(); }
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  static void Sink(void* self, const char* tag, int level, const char* text);

  std::filesystem::path folder_;
  std::vector<CapturedLine> lines_;
};

}  // namespace tallwick::test
