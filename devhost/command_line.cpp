// pphost's command line: the host's options, and `serve` with its own.
#include "devhost/command_line.h"

#include <CLI/CLI.hpp>

#include "devhost/runtime/module_loader.h"

namespace pphost {

namespace {

// Options given as words (`--clock virtual`, `--frames rgba`) that become
// enums and flags once the whole line has been read.
struct Words {
  std::string clock = "real";
  std::string gl = "default";
  std::string frames = "jpeg";
  std::string pictureSize = "view";
  // Nothing in a browser moves a virtual clock, so pages run on wall time.
  std::string serveClock = "real";
};

void AddRunOptions(CLI::App& app, CommandLine& line, Words& words) {
  app.add_option("--module", line.modulePath, "the module to load")->capture_default_str();
  app.add_option("--clock", words.clock, "real (wall time) or virtual (moves only through `run`)")
      ->check(CLI::IsMember({"real", "virtual"}))
      ->capture_default_str();
  app.add_option("--script", line.scriptPath, "read input lines from FILE instead of standard input")
      ->check(CLI::ExistingFile);
  app.add_flag("--log", line.options.log, "every module log line also comes out as a `log` line");
}

void AddGlOptions(CLI::App& app, HostOptions& options, Words& words) {
#ifdef _WIN32
  app.add_option("--gl", words.gl,
                 "default (no 3D contexts) or wgl (3D contexts on WGL, desktop OpenGL, which needs a display: "
                 "under Wine an X server with GLX)")
      ->check(CLI::IsMember({"default", "wgl"}))
      ->capture_default_str();
#else
  app.add_option("--gl", words.gl, "default or strict-es2 (3D contexts as a strict OpenGL ES 2.0 host)")
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
}

void AddTraceAndFaultOptions(CLI::App& app, HostOptions& options) {
  app.add_flag("--trace-present", options.tracePresent, "a `present` line for every completed swap");
  app.add_flag("--refuse-cursor", options.refuseCursor, "SetCursor fails from the start (op `cursor-refuse`)");
  app.add_flag("--refuse-contexts", options.refuseContexts,
               "3D context creation fails from the start (op `context-refuse`)");
  app.add_flag("--refuse-swaps", options.refuseSwaps,
               "every swap fails from the start, nothing is presented (op `swap-refuse`)");
}

void ReadHostWords(const Words& words, HostOptions& options) {
  options.clock = words.clock == "virtual" ? ClockMode::kVirtual : ClockMode::kReal;
  options.gl = words.gl == "strict-es2" ? GlMode::kStrictEs2 : words.gl == "wgl" ? GlMode::kWgl : GlMode::kDefault;
}

#ifndef _WIN32
CLI::App* AddServeCommand(CLI::App& app, serve::ServeSettings& settings, Words& words) {
  CLI::App* command = app.add_subcommand(
      "serve", "serve pages on 127.0.0.1 over HTTP and bridge each browser tab to a page of the module");
  command->add_option("--port", settings.port, "the port (0: any free one)")->capture_default_str();
  command
      ->add_option("--root", settings.root,
                   "the folder of pages, served at /: the page library's by default, or one's own")
      ->check(CLI::ExistingDirectory)
      ->capture_default_str();
  command
      ->add_option("--library", settings.library,
                   "the page library (plugin-element.js, tallwick-render.js), served at /tallwick/ whatever --root is")
      ->check(CLI::ExistingDirectory)
      ->capture_default_str();
  command->add_option("--frames", words.frames, "how pictures go to the tab: jpeg or rgba")
      ->check(CLI::IsMember({"jpeg", "rgba"}))
      ->capture_default_str();
  command
      ->add_option("--picture-size", words.pictureSize,
                   "view: a picture larger than its element goes to the tab scaled down to it; full: as presented")
      ->check(CLI::IsMember({"view", "full"}))
      ->capture_default_str();
  command->add_option("--jpeg-quality", settings.jpegQuality, "1 to 100")
      ->check(CLI::Range(1, 100))
      ->capture_default_str();
  command->add_option("--clock", words.serveClock, "real (wall time): the one clock a browser's page can follow")
      ->check(CLI::IsMember({"real"}))
      ->capture_default_str();
  return command;
}

// `serve` runs the host on wall time, whatever the host's --clock said.
void ReadServeWords(const Words& words, serve::ServeSettings& settings, HostOptions& options) {
  options.clock = ClockMode::kReal;
  settings.fitToView = words.pictureSize == "view";
  settings.encoding = words.frames == "rgba" ? serve::FrameEncoding::kRaw : serve::FrameEncoding::kJpeg;
}
#endif

}  // namespace

std::optional<int> ParseCommandLine(int argc, char** argv, CommandLine& line) {
  CLI::App app{
      "pphost: a Pepper host that loads the module and plays both browser and page.\n"
      "Reads JSON input lines from --script or standard input and writes JSON output lines."};
  line.modulePath = DefaultModulePath();
  Words words;
  AddRunOptions(app, line, words);
  AddGlOptions(app, line.options, words);
  AddTraceAndFaultOptions(app, line.options);
#ifndef _WIN32
  serve::ServeSettings settings;
  settings.root = PPHOST_WEB_ROOT;
  settings.library = PPHOST_WEB_ROOT;
  const CLI::App* serveCommand = AddServeCommand(app, settings, words);
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  ReadHostWords(words, line.options);
#ifndef _WIN32
  if (serveCommand->parsed()) {
    ReadServeWords(words, settings, line.options);
    line.serveSettings = settings;
  }
#endif
  return std::nullopt;
}

}  // namespace pphost
