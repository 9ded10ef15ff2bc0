#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "devhost/entry_points.h"
#include "devhost/json.h"
#include "devhost/output/output_writer.h"
#include "devhost/presented_image.h"
#include "devhost/runtime/host_clock.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The 3D contexts: by default EGL's on Linux, and none on Windows, where the
// host usually runs without a display; kStrictEs2 refuses what a strict
// OpenGL ES 2.0 host would (EGL); kWgl gives the Windows host WGL contexts,
// desktop OpenGL ones.
enum class GlMode { kDefault, kStrictEs2, kWgl };

struct HostOptions {
  ClockMode clock = ClockMode::kReal;
  bool log = false;  // module log lines also come out as `log` lines
  GlMode gl = GlMode::kDefault;
  bool tracePresent = false;
  // Host faults from the start; the page switches each on and off with its
  // `*-refuse` op. SetCursor fails; PPB_Graphics3D Create gives no context;
  // SwapBuffers fails with PP_ERROR_FAILED and presents nothing.
  bool refuseCursor = false;
  bool refuseContexts = false;
  bool refuseSwaps = false;
  // A record of every GL call the module makes goes to this file (none when
  // empty). With `glAnswers` (a record of an earlier run), the 3D contexts
  // have no pixels and the calls are answered from that record.
  std::string glRecord;
  std::string glAnswers;
  // Lets the page make pixel-free 3D contexts (SetPixelFree): no pixels and
  // no GL behind them, every GL call answered at once as by a GL that draws
  // nothing. For callers that run the module far more often than they look
  // at its pictures (the fuzz targets). Not with a GL call record.
  bool pixelFreeGl = false;
};

// What an instance has shown: the image of its bound 3D context's last
// completed swap, and how many such swaps there were.
struct Presentation {
  PresentedImage image;
  int64_t swaps = 0;
};

// What the module holds at a moment: vars (as `live_vars` counts them),
// resources, and the 3D contexts among those resources.
struct LiveCounts {
  size_t vars = 0;
  size_t resources = 0;
  size_t contexts = 0;
};

// A Pepper host that plays browser and page: it loads one module, carries out
// input lines of the page protocol and hands every output line to `sink`.
// Only one Host may be alive in a process (the constructor throws
// std::logic_error otherwise).
class Host {
 public:
  Host(const HostOptions& options, LineSink sink);
  ~Host();  // finishes like Finish()
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Loads the module from a shared library, or from entry points linked into
  // the caller, and initialises it. False (with LoadError()) when it cannot
  // be loaded or PPP_InitializeModule fails.
  bool Load(const std::string& path);
  bool Load(const EntryPoints& entryPoints);
  const std::string& LoadError() const;

  // Carries out one input line; false when it gave an `error` line.
  bool Execute(const std::string& line);
  // The same for a line already parsed, as C++ callers that build their
  // lines as JSON values have them: nothing is written out and read back.
  bool Execute(const Json& line);
  bool Execute(const char* line) { return Execute(std::string(line)); }

  // Serves the main loop for `ms` milliseconds (virtual or real) as a `run`
  // line without `until` does, for C++ callers that step the page many times:
  // nothing is parsed, counted as a line or acknowledged. False, and no output
  // line, when no module is running, `ms` lies outside 0 to 1e12, or the
  // clock would pass 4e12 ms.
  bool Run(int64_t ms);

  // End of input: shuts the module down as `shutdown` does, silently, unless
  // that already happened.
  void Finish();

  // 0 when every line was carried out, 1 when any gave an `error` line, 2 when
  // no module could be loaded.
  int ExitStatus() const;

  // What the instance the page calls `id` has presented so far; nullopt for
  // an unknown id.
  // The whole picture is read back from the GPU on the first call after a
  // swap.
  std::optional<Presentation> LastPresented(const Json& id) const;
  // Only `rect` (image pixels, rows from the top, clipped to the picture) of
  // what the instance presented last, read without the rest; nullopt for an
  // unknown id or an instance that has presented nothing.
  std::optional<PresentedImage> PresentedRegion(const Json& id, const PP_Rect& rect) const;

  // With HostOptions::pixelFreeGl: the 3D contexts the module makes from now
  // on are pixel-free (true) or real ones (false, at first). Contexts made
  // before keep what they are.
  void SetPixelFree(bool pixelFree);

  // What the module holds now, while it runs: what a `shutdown` line would
  // report, without shutting down.
  LiveCounts Live() const;

  // For tests that need to act in the middle of a draw, as another process
  // may (a writer that overtakes a reader of its frames): `hook` runs inside
  // every glTexImage2D the module makes on a real GL context (EGL, or WGL on
  // Windows), on the main thread while the call is in progress, with the
  // upload's context current, after the host has accepted the call and
  // before GL reads its pixels. An upload the host refuses (strict OpenGL
  // ES 2.0, a lost or unknown context) or answers from a record runs
  // nothing, and so does glTexSubImage2D; a GL call record that is kept
  // holds the pixels as they were before the hook ran. The hook may read
  // and write any memory, the pixels of that upload included, and may call
  // SetBeforeUpload to replace or clear itself; it must not throw, call any
  // other Host function, nor make GL or Pepper calls. It stays until it is
  // replaced; an empty function clears it.
  void SetBeforeUpload(std::function<void()> hook);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Carries out every line of `input`, then Finish(); returns ExitStatus().
int RunScript(std::istream& input, Host& host);

}  // namespace pphost
