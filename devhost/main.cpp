// pphost: loads the module, plays browser and page. Input lines (JSON) come
// from --script or standard input; output lines go to standard output.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "devhost/command_line.h"
#include "devhost/host.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void WriteLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);  // a reader may be waiting on each line
}

// Output lines end in "\n" alone, as on Linux.
void KeepOutputBinary() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

// Loads the module and carries out the input lines of --script or standard
// input. Returns the exit status.
int RunScriptCommand(const pphost::CommandLine& line) {
  pphost::Host host(line.options, &WriteLine);
  if (!host.Load(line.modulePath)) {
    std::cerr << "pphost: " << host.LoadError() << '\n';
    return host.ExitStatus();
  }
  if (line.scriptPath.empty()) return pphost::RunScript(std::cin, host);
  std::ifstream script(line.scriptPath);
  if (!script) {
    std::cerr << "pphost: cannot read " << line.scriptPath << '\n';
    return 2;
  }
  return pphost::RunScript(script, host);
}

int Main(int argc, char** argv) {
  KeepOutputBinary();
  pphost::CommandLine line;
  if (const std::optional<int> status = pphost::ParseCommandLine(argc, argv, line)) return *status;
#ifndef _WIN32
  if (line.serveSettings) return pphost::serve::RunServe(*line.serveSettings, line.options, line.modulePath);
#endif
  return RunScriptCommand(line);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "pphost: " << e.what() << '\n';
    return 1;
  }
}
