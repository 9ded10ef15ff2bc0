#include "embed/element_cursor.h"

#include "embed/protocol.h"
#include "host/mouse_cursor.h"

namespace TALLWICK_PP_RENDER {

int32_t SetElementCursor(pp::Instance* instance, int32_t cursorType) {
  if (instance == nullptr) return kErrorSetCursor;
  const bool accepted =
      pp::MouseCursor::SetCursor(instance->pp_instance(), static_cast<PP_MouseCursor_Type>(cursorType));
  return accepted ? kErrorNone : kErrorSetCursor;
}

}  // namespace TALLWICK_PP_RENDER
