// tallwick-shell: a minimal meeting-client browser shell on Qt WebEngine that
// loads the render module as a real Pepper plug-in (see --help).
#include <unistd.h>
#include <QApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "shell/chromium_switches.h"
#include "shell/local_pages.h"
#include "shell/output_lines.h"
#include "shell/shell_options.h"
#include "shell/shell_run.h"
#include "shell/virtual_display.h"

namespace {

using tallwick_shell::ShellOptions;

// An off-the-record profile: nothing of one run is kept for the next.
QWebEngineProfile* MakeProfile(QObject* parent) {
  auto* profile = new QWebEngineProfile(parent);
  QWebEngineSettings* settings = profile->settings();
  settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
  tallwick_shell::LocalPages::Install(profile);
  return profile;
}

int RunPages(const ShellOptions& options, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(arguments.size());
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tallwick_shell::LocalPages::RegisterScheme();
  QApplication app(argc, argv.data());
  tallwick_shell::ShellRun run(options, MakeProfile(&app));
  run.Start();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  const std::optional<ShellOptions> options = tallwick_shell::ParseShellOptions(argc, argv, exitCode);
  if (!options) return exitCode;
  std::string error;
  const std::string logDir = tallwick_shell::PrepareRunFolder(options->logDir, error);
  if (logDir.empty()) {
    tallwick_shell::WriteLine({{"kind", "exit"}, {"status", 2}, {"reason", error}});
    return 2;
  }
  tallwick_shell::VirtualDisplay display;
  const bool needDisplay = options->headless && std::getenv("DISPLAY") == nullptr;
  if (needDisplay && !display.Start(options->width, options->height, error)) {
    tallwick_shell::WriteLine({{"kind", "exit"}, {"status", 2}, {"reason", error}});
    return 2;
  }
  const char* shown = std::getenv("DISPLAY");
  tallwick_shell::WriteLine({{"kind", "shell"},
                             {"pid", getpid()},
                             {"module", options->modulePath},
                             {"log_dir", logDir},
                             {"display", shown != nullptr ? shown : ""}});
  return RunPages(*options, tallwick_shell::ChromiumArguments(argv[0], *options));
}
