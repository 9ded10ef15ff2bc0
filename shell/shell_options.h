#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tallwick_shell {

// Something the shell does to a page at a time after the start (seconds).
struct TimedScreenshot {
  double at = 0;
  std::string file;
};
struct TimedClick {
  double at = 0;
  int x = 0;
  int y = 0;
};
struct TimedText {
  double at = 0;
  std::string text;
};
struct TimedClose {
  double at = 0;
  int page = 1;  // counted from 1, as given on the command line
};

struct ShellOptions {
  std::vector<std::string> pages;  // files or URLs, one window each
  std::string modulePath;
  bool headless = false;
  double seconds = 0;  // 0: until the last window closes or a page says it is done
  int width = 1280;
  int height = 720;
  bool keepGpuBlocklist = false;
  std::string logDir;  // empty: a new folder for this run
  std::vector<TimedScreenshot> screenshots;
  std::vector<TimedClick> clicks;
  std::vector<TimedText> texts;
  std::vector<TimedClose> closes;
  std::vector<double> processReports;  // times at which to write a "processes" line
};

// The MIME type the module is registered for.
inline constexpr const char* kPluginMimeType = "application/x-tallwick-render";

// Parses the command line. Returns nothing and sets `exitCode` when the
// program should stop at once (--help: 0, a bad argument: 2, after CLI11
// has printed why).
std::optional<ShellOptions> ParseShellOptions(int argc, char** argv, int& exitCode);

// "T:REST" split at the first colon; T a number of seconds >= 0.
bool SplitTimed(const std::string& text, double& at, std::string& rest);

}  // namespace tallwick_shell
