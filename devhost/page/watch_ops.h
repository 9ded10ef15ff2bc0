#pragma once

#include "devhost/browser/browser_context.h"
#include "devhost/json.h"

namespace pphost {

// The input lines that count what an instance shows, region by region:
// `watch` (start, restart or stop counting) and `watched` (report the
// counts). Each throws ScriptError when the line cannot be carried out, and
// then changes nothing.
class WatchOps {
 public:
  explicit WatchOps(BrowserContext& browser) : browser_(browser) {}

  void Watch(const Json& line);
  void Watched(const Json& line);

 private:
  BrowserContext& browser_;
};

}  // namespace pphost
