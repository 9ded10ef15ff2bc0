// pphost: loads the module, plays browser and page. Input lines (JSON) come
// from --script or standard input; output lines go to standard output.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "devhost/host.h"
#include "devhost/runtime/module_loader.h"
#ifndef _WIN32
#include "devhost/serve/serve_command.h"
#endif

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

int Main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // output lines end in "\n" alone, as on Linux
#endif
  CLI::App app{
      "pphost: a Pepper host that loads the module and plays both browser and page.\n"
      "Reads JSON input lines from --script or standard input and writes JSON output lines."};
  std::string modulePath = pphost::DefaultModulePath();
  std::string scriptPath;
  std::string clock = "real";
  std::string gl = "default";
  pphost::HostOptions options;
  app.add_option("--module", modulePath, "the module to load")->capture_default_str();
  app.add_option("--clock", clock, "real (wall time) or virtual (moves only through `run`)")
      ->check(CLI::IsMember({"real", "virtual"}))
      ->capture_default_str();
  app.add_option("--script", scriptPath, "read input lines from FILE instead of standard input")
      ->check(CLI::ExistingFile);
  app.add_flag("--log", options.log, "every module log line also comes out as a `log` line");
#ifdef _WIN32
  app.add_option("--gl", gl,
                 "default (no 3D contexts) or wgl (3D contexts on WGL, desktop OpenGL, which needs a display: "
                 "under Wine an X server with GLX)")
      ->check(CLI::IsMember({"default", "wgl"}))
      ->capture_default_str();
#else
  app.add_option("--gl", gl, "default or strict-es2 (3D contexts as a strict OpenGL ES 2.0 host)")
      ->check(CLI::IsMember({"default", "strict-es2"}))
      ->capture_default_str();
#endif
  CLI::Option* record = app.add_option("--record-gl", options.glRecord,
                                       "write every GL call the module makes to FILE, one JSON line a call")
                            ->type_name("FILE");
  app.add_option("--gl-answers", options.glAnswers,
                 "3D contexts without pixels whose GL calls are answered from FILE, the --record-gl record of "
                 "an earlier run (for a host without GL)")
      ->check(CLI::ExistingFile)
      ->needs(record);
  app.add_flag("--trace-present", options.tracePresent, "a `present` line for every completed swap");
  app.add_flag("--refuse-cursor", options.refuseCursor, "SetCursor fails from the start (op `cursor-refuse`)");
  app.add_flag("--refuse-contexts", options.refuseContexts,
               "3D context creation fails from the start (op `context-refuse`)");
  app.add_flag("--refuse-swaps", options.refuseSwaps,
               "every swap fails from the start, nothing is presented (op `swap-refuse`)");
#ifndef _WIN32
  pphost::serve::ServeSettings serve;
  serve.root = PPHOST_WEB_ROOT;
  std::string frames = "jpeg";
  CLI::App* serveCommand = app.add_subcommand(
      "serve", "serve pages on 127.0.0.1 over HTTP and bridge each browser tab to a page of the module");
  serveCommand->add_option("--port", serve.port, "the port (0: any free one)")->capture_default_str();
  serveCommand->add_option("--root", serve.root, "the folder of pages")
      ->check(CLI::ExistingDirectory)
      ->capture_default_str();
  serveCommand->add_option("--frames", frames, "how pictures go to the tab: jpeg or rgba")
      ->check(CLI::IsMember({"jpeg", "rgba"}))
      ->capture_default_str();
  std::string pictureSize = "view";
  serveCommand
      ->add_option("--picture-size", pictureSize,
                   "view: a picture larger than its element goes to the tab scaled down to it; full: as presented")
      ->check(CLI::IsMember({"view", "full"}))
      ->capture_default_str();
  serveCommand->add_option("--jpeg-quality", serve.jpegQuality, "1 to 100")
      ->check(CLI::Range(1, 100))
      ->capture_default_str();
  // Nothing in a browser moves a virtual clock, so pages run on wall time.
  std::string serveClock = "real";
  serveCommand->add_option("--clock", serveClock, "real (wall time): the one clock a browser's page can follow")
      ->check(CLI::IsMember({"real"}))
      ->capture_default_str();
#endif
  CLI11_PARSE(app, argc, argv);
  options.clock = clock == "virtual" ? pphost::ClockMode::kVirtual : pphost::ClockMode::kReal;
  options.gl = gl == "strict-es2" ? pphost::GlMode::kStrictEs2
               : gl == "wgl"      ? pphost::GlMode::kWgl
                                  : pphost::GlMode::kDefault;

#ifndef _WIN32
  if (serveCommand->parsed()) {
    options.clock = pphost::ClockMode::kReal;
    serve.fitToView = pictureSize == "view";
    serve.encoding = frames == "rgba" ? pphost::serve::FrameEncoding::kRaw : pphost::serve::FrameEncoding::kJpeg;
    return pphost::serve::RunServe(serve, options, modulePath);
  }
#endif
  pphost::Host host(options, &WriteLine);
  if (!host.Load(modulePath)) {
    std::cerr << "pphost: " << host.LoadError() << '\n';
    return host.ExitStatus();
  }
  if (scriptPath.empty()) return pphost::RunScript(std::cin, host);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "pphost: cannot read " << scriptPath << '\n';
    return 2;
  }
  return pphost::RunScript(script, host);
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
