#pragma once

#include "devhost/browser_context.h"
#include "devhost/json.h"

namespace pphost {

// The input lines that read an instance's last presented image: `snapshot`
// (to a PNG file) and `pixels` (RGBA at points). Each throws ScriptError
// when the line cannot be carried out.
class ImageOps {
 public:
  explicit ImageOps(BrowserContext& browser) : browser_(browser) {}

  void Snapshot(const Json& line);
  void Pixels(const Json& line);

 private:
  const InstanceRecord& Presenting(const Json& line);

  BrowserContext& browser_;
};

}  // namespace pphost
