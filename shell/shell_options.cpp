#include "shell/shell_options.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tallwick_shell {
namespace {

// <folder of this program>/../lib/libtallwick-ppapi-render.so, as the build
// lays it out.
std::string DefaultModulePath() {
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (failed) return "libtallwick-ppapi-render.so";
  return (self.parent_path() / ".." / "lib" / "libtallwick-ppapi-render.so").lexically_normal().string();
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && value >= 0 && value < 1e7;
}

bool ParseInt(const std::string& text, int& value) {
  double number = 0;
  if (!ParseNumber(text, number) || number != static_cast<int>(number)) return false;
  value = static_cast<int>(number);
  return true;
}

// "WxH"
bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
         width >= 16 && height >= 16 && width <= 8192 && height <= 8192;
}

// "X,Y"
bool ParsePoint(const std::string& text, int& x, int& y) {
  const size_t comma = text.find(',');
  return comma != std::string::npos && ParseInt(text.substr(0, comma), x) && ParseInt(text.substr(comma + 1), y);
}

template <typename Timed, typename ParseRest>
void AddTimed(const std::vector<std::string>& texts, std::vector<Timed>& out, const std::string& option,
              ParseRest parseRest) {
  for (const std::string& text : texts) {
    Timed timed;
    std::string rest;
    if (!SplitTimed(text, timed.at, rest) || !parseRest(rest, timed)) {
      throw CLI::ValidationError(option, "cannot read \"" + text + "\"");
    }
    out.push_back(timed);
  }
}

struct TimedTexts {
  std::vector<std::string> screenshots, clicks, texts, closes;
};

void ReadTimed(const TimedTexts& in, ShellOptions& options) {
  AddTimed(in.screenshots, options.screenshots, "--screenshot", [](const std::string& rest, TimedScreenshot& t) {
    t.file = rest;
    return !rest.empty();
  });
  AddTimed(in.clicks, options.clicks, "--click",
           [](const std::string& rest, TimedClick& t) { return ParsePoint(rest, t.x, t.y); });
  AddTimed(in.texts, options.texts, "--type", [](const std::string& rest, TimedText& t) {
    t.text = rest;
    return !rest.empty();
  });
  AddTimed(in.closes, options.closes, "--close",
           [](const std::string& rest, TimedClose& t) { return ParseInt(rest, t.page) && t.page >= 1; });
}

}  // namespace

bool SplitTimed(const std::string& text, double& at, std::string& rest) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), at)) return false;
  rest = text.substr(colon + 1);
  return true;
}

std::optional<ShellOptions> ParseShellOptions(int argc, char** argv, int& exitCode) {
  CLI::App app{
      "tallwick-shell: a minimal meeting-client browser shell on Qt WebEngine (Chromium) that loads the\n"
      "render module as a real Pepper plug-in for the MIME type application/x-tallwick-render.\n"
      "Each page (a file or a URL) opens in a window of its own. Standard output gets one JSON object per line,\n"
      "with \"t\", milliseconds since the shell started: the pages' console lines (the browser's own repeats\n"
      "counted, as \"repeated\": N), every message a plug-in element posts (\"post\") and what the page library\n"
      "and page client send (\"sent\"), page errors, screenshots, and how the run ended (\"exit\").\n"
      "Times T of the timed options and --seconds count from the first page's load (its \"loaded\" line).\n"
      "A page ends the run with window.tallwickShell.report({kind: \"done\"}) and reports a failure with\n"
      "window.tallwickShell.report({kind: \"fail\", text: \"why\"}) (docs/shell.md).\n"
      "Exit status: 0; 1 when a page failed: it reported \"fail\", or had an uncaught exception, a script that\n"
      "does not parse or load (that ends the run at once); 2 for a bad argument; 3 when the plug-in process or\n"
      "a page's renderer died.\n"
      "The shell passes Chromium these switches itself: --register-pepper-plugins=<module>;<MIME type>,\n"
      "--ignore-gpu-blocklist (Mesa's software GL is blocklisted, which would refuse every 3D context; not with\n"
      "--gpu-blocklist), and as root --no-sandbox. QTWEBENGINE_CHROMIUM_FLAGS adds more.\n"
      "Each run logs into a folder of its own (TMPDIR of the browser and plug-in processes)."};
  ShellOptions options;
  options.modulePath = DefaultModulePath();
  std::string size;
  TimedTexts timed;
  app.add_option("pages", options.pages, "pages to open: files or URLs")->required();
  app.add_option("--module", options.modulePath, "the module to register")
      ->check(CLI::ExistingFile)
      ->capture_default_str();
  app.add_flag("--headless", options.headless,
               "no window on the screen: a virtual X server (Xvfb) for this run when DISPLAY is not set");
  app.add_option("--seconds", options.seconds,
                 "end the run this many seconds after the first page has loaded (0: when a page reports done)")
      ->check(CLI::Range(0.0, 1e6));
  app.add_option("--size", size, "window size WxH (default 1280x720)");
  app.add_option("--screenshot", timed.screenshots,
                 "T:FILE: a PNG of the first page's window T seconds after it loaded")
      ->allow_extra_args(false);
  app.add_option("--click", timed.clicks,
                 "T:X,Y: a left click at window pixel X,Y of the first page, T seconds after it loaded")
      ->allow_extra_args(false);
  app.add_option("--type", timed.texts, "T:TEXT: type TEXT into the first page, T seconds after it loaded")
      ->allow_extra_args(false);
  app.add_option("--close", timed.closes, "T:N: close page N (from 1) T seconds after the first page loaded")
      ->allow_extra_args(false);
  app.add_option("--processes-at", options.processReports,
                 "T: a \"processes\" line (each process's CPU time so far) T seconds after the first page loaded")
      ->check(CLI::Range(0.0, 1e6))
      ->allow_extra_args(false);
  app.add_flag("--gpu-blocklist", options.keepGpuBlocklist,
               "keep Chromium's GPU blocklist: on a software GL no 3D context can be created");
  app.add_option("--log-dir", options.logDir, "the run's log folder (default: a new folder under /tmp)");
  try {
    app.parse(argc, argv);
    if (!size.empty() && !ParseSize(size, options.width, options.height)) {
      throw CLI::ValidationError("--size", "want WxH, 16 to 8192 each, not \"" + size + "\"");
    }
    ReadTimed(timed, options);
    // As the plug-in process maps it, so that the process can be told by it.
    options.modulePath = std::filesystem::canonical(options.modulePath).string();
  } catch (const CLI::ParseError& error) {
    exitCode = app.exit(error);
    if (exitCode != 0) exitCode = 2;
    return std::nullopt;
  }
  return options;
}

}  // namespace tallwick_shell
