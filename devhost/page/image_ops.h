#pragma once

#include "devhost/browser/browser_context.h"
#include "devhost/json.h"

namespace pphost {

// The input lines that read the instances' last presented images: `snapshot`
// (one instance to a PNG file), `pixels` (RGBA at points) and `page` (every
// instance where the page shows it, to a PNG file). Each throws ScriptError
// when the line cannot be carried out.
class ImageOps {
 public:
  explicit ImageOps(BrowserContext& browser) : browser_(browser) {}

  void Snapshot(const Json& line);
  void Pixels(const Json& line);
  void Page(const Json& line);

 private:
  const InstanceRecord& Presenting(const Json& line);

  BrowserContext& browser_;
};

}  // namespace pphost
