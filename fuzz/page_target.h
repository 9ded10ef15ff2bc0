#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "devhost/json.h"
#include "fuzz_host.h"
#include "page_model.h"
#include "page_script.h"
#include "page_streams.h"
#include "reply_check.h"

namespace tallwick_fuzz {

// The folder, in the working directory, where the module's log cannot be
// written: the fuzz process makes a file of the name of the logger's own
// folder inside it. Every "logPath" a script sends is turned into a folder
// below that file, so the module never writes a log, nor makes a folder the
// input names anywhere on the machine.
constexpr const char* kNoLogFolder = "no-log-files";

// Plays one page script an input: a controller, a single-stream element
// and a gallery element on views, the script's steps, then a probe of each
// render element, checking as it goes what the page and the user would see:
//  - every request gets exactly one reply (ReplyCheck);
//  - no busy loop (tick_budget.h);
//  - on inputs with pictures, every picture shows only streams that its
//    element, or the tile at that place, was given;
//  - no freeze: a started element given a new frame of a stream it shows
//    presents it within two frame intervals, whatever the script did;
//  - nothing is left once the elements are gone: no var, no resource, no
//    mapping of a segment.
// A broken check is a finding (finding.h).
class PageTarget {
 public:
  PageTarget();
  void RunInput(const std::string& text);

 private:
  void StartInput(bool pixels);
  void CreateElement(char role);
  void Do(const PageStep& step);
  void Message(char role, const std::string& text);
  pphost::Json Deliver(char role, const pphost::Json& msg);
  void Run(int64_t ms);
  void RunChecked(int64_t ms);
  void CheckPictures();
  void CheckSinglePicture();
  void CheckGalleryPicture();
  void ProbeNoFreeze();
  void Probe(char role);
  void RegisterProbe(const std::set<std::string>& keys);
  void CheckNothingMapped();
  void EndInput();
  void OnLine(const std::string& line);
  void TellRecentLines() const;

  FuzzHost host_;
  PageStreams streams_;
  PageModel model_;
  ReplyCheck replies_;
  // The input's last host lines, told with a finding.
  std::array<std::string, 256> recent_;
  size_t lines_ = 0;
  std::map<std::string, int64_t> presents_;  // completed swaps of each element, by its id as JSON text
  bool pixels_ = false;
  bool delivering_ = false;
  std::vector<std::pair<char, int>> errorsWhileDelivering_;
  int64_t spentMs_ = 0;
  int64_t inputs_ = 0;
};

}  // namespace tallwick_fuzz
