#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "support/page_lines.h"
#include "support/rect.h"

namespace tallwick_bench {

// What the page got from the module over a run, taken from the host's
// output lines.
struct SoakTally {
  std::map<std::string, int64_t> presents;  // completed swaps per element id
  int64_t firstShown = 0;                   // "RENDER_STARTED" and "MULTI_RENDER_STARTED"
  int64_t noFrameReports = 0;               // status changes to "NO_FRAME"
  int64_t errorEvents = 0;                  // "ERROR" posts
  int64_t hostErrors = 0;                   // `error` lines
  std::vector<std::string> firstErrors;     // the first few of either, as they came
};

// The module in the in-process host on the real clock, with a controller
// ("controller") that has the streams registered, and render elements that
// the caller adds and removes. Each element sends its view after "INIT", so
// that its renderer's buffer has the element's size.
class SoakPage {
 public:
  SoakPage();
  ~SoakPage();  // shuts the module down and drops the controller
  SoakPage(const SoakPage&) = delete;
  SoakPage& operator=(const SoakPage&) = delete;

  // Loads the module, creates the controller and registers `streams`.
  bool Start(const std::vector<PageStream>& streams, std::string* error);
  // Adds (or, for a segment already known, replaces) the streams' segments.
  bool Register(const std::vector<PageStream>& streams, std::string* error);

  bool AddSingleStream(const std::string& id, const PageStream& stream, int width, int height, std::string* error);
  bool AddGallery(const std::string& id, int width, int height, std::string* error);
  bool Layout(const std::string& id, const std::vector<PageStream>& streams, const std::vector<Rect>& tiles,
              const std::vector<bool>& mirrored, std::string* error);
  bool Remove(const std::string& id, std::string* error);

  // Serves the main loop for `ms` real milliseconds.
  bool Run(int64_t ms);

  // Shuts the module down; false when the shutdown line says that vars or
  // resources were left alive, which `leftovers` then holds.
  bool Shutdown(std::string* leftovers);

  const SoakTally& Tally() const { return tally_; }

 private:
  void Watch(const std::string& line);
  void NoteError(const std::string& line);
  bool Do(const std::string& line, std::string* error);

  SoakTally tally_;
  std::string shutdownLine_;
  pphost::Host host_;
};

}  // namespace tallwick_bench
