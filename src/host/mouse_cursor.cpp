#include "host/mouse_cursor.h"

#include "host/browser_interfaces.h"

namespace pp {

bool MouseCursor::SetCursor(PP_Instance instance, PP_MouseCursor_Type type) {
  const auto* cursor = Browser().mouseCursor;
  return cursor != nullptr && PP_ToBool(cursor->SetCursor(instance, type, 0, nullptr));
}

}  // namespace pp
