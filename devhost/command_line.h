#pragma once

#include <optional>
#include <string>

#include "devhost/host.h"
#ifndef _WIN32
#include "devhost/serve/serve_command.h"
#endif

namespace pphost {

// What pphost's command line asks for.
struct CommandLine {
  std::string modulePath;
  std::string scriptPath;  // empty: standard input
  HostOptions options;
#ifndef _WIN32
  std::optional<serve::ServeSettings> serveSettings;  // set for `pphost serve`
#endif
};

// Reads pphost's command line into `line`. Returns the exit status when the
// program ends here: after --help, or on a bad option (which has then been
// explained on standard error).
std::optional<int> ParseCommandLine(int argc, char** argv, CommandLine& line);

}  // namespace pphost
