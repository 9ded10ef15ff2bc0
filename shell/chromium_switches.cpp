#include "shell/chromium_switches.h"

#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tallwick_shell {

std::vector<std::string> ChromiumArguments(const std::string& program, const ShellOptions& options) {
  std::vector<std::string> arguments = {program};
  const std::string module = std::filesystem::absolute(options.modulePath).lexically_normal().string();
  arguments.push_back("--register-pepper-plugins=" + module + ";" + kPluginMimeType);
  if (!options.keepGpuBlocklist) arguments.emplace_back("--ignore-gpu-blocklist");
  if (geteuid() == 0) arguments.emplace_back("--no-sandbox");
  return arguments;
}

std::string PrepareRunFolder(const std::string& wanted, std::string& error) {
  std::string folder = wanted;
  if (folder.empty()) {
    std::string pattern = "/tmp/tallwick-shell-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      error = std::string("cannot make a run folder: ") + std::strerror(errno);
      return {};
    }
    folder = pattern;
  } else {
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) {
      error = "cannot make " + folder + ": " + failed.message();
      return {};
    }
    folder = std::filesystem::absolute(folder).lexically_normal().string();
  }
  setenv("TMPDIR", folder.c_str(), 1);
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  return folder;
}

}  // namespace tallwick_shell
