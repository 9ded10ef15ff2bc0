#pragma once

#include "host/resource.h"

namespace pp {

// The element's geometry and visibility as last told by the browser. A null
// view, or a host without the view interface, reads as a zero rectangle, not
// visible, device scale 1.0.
class View : public Resource {
 public:
  View() = default;
  explicit View(PP_Resource view) : Resource(view) {}

  PP_Rect GetRect() const;
  bool IsVisible() const;
  float GetDeviceScale() const;
};

}  // namespace pp
