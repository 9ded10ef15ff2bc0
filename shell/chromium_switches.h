#pragma once

#include <string>
#include <vector>

#include "shell/shell_options.h"

namespace tallwick_shell {

// The command line the application (and Chromium inside it) is started
// with: the program, then the switches the shell passes itself:
//   --register-pepper-plugins=<module>;<MIME type>  the module as a plug-in;
//   --ignore-gpu-blocklist  Chromium blocklists Mesa's software GL, and then
//                           refuses every 3D context (not with --gpu-blocklist);
//   --no-sandbox            as root, where Chromium's sandbox will not start.
std::vector<std::string> ChromiumArguments(const std::string& program, const ShellOptions& options);

// Makes the run's own folder (`wanted`, or a new one under /tmp when empty)
// and points TMPDIR at it, so that the module's default log folder is this
// run's. Also sets what the environment must say before Chromium starts.
// Returns the folder, or "" with the reason in `error`.
std::string PrepareRunFolder(const std::string& wanted, std::string& error);

}  // namespace tallwick_shell
