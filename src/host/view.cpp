#include "host/view.h"

#include "host/browser_interfaces.h"

namespace pp {

PP_Rect View::GetRect() const {
  PP_Rect rect{};
  if (!is_null() && Browser().viewGetRect != nullptr && !PP_ToBool(Browser().viewGetRect(pp_resource(), &rect))) {
    rect = PP_Rect{};
  }
  return rect;
}

bool View::IsVisible() const {
  return !is_null() && Browser().viewIsVisible != nullptr && PP_ToBool(Browser().viewIsVisible(pp_resource()));
}

float View::GetDeviceScale() const {
  if (is_null() || Browser().viewGetDeviceScale == nullptr) return 1.0f;
  return Browser().viewGetDeviceScale(pp_resource());
}

}  // namespace pp
