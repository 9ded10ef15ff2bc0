#pragma once

#include "host/ppapi/ppb_mouse_cursor.h"

namespace pp {

class MouseCursor {
 public:
  // Sets one of the browser's stock cursors over the instance; false when the
  // browser refuses or lacks the cursor interface.
  static bool SetCursor(PP_Instance instance, PP_MouseCursor_Type type);
};

}  // namespace pp
