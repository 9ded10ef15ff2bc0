// "PPB_MouseCursor;1.0": every request becomes a `cursor` line; the page can
// make the host refuse them (`cursor-refuse`).
#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"

namespace pphost {

namespace {

// Custom cursors need image data resources, which this host does not have.
bool IsStockCursor(PP_MouseCursor_Type type) {
  return type >= PP_MOUSECURSOR_TYPE_POINTER && type <= PP_MOUSECURSOR_TYPE_MIDDLEPANNINGHORIZONTAL;
}

PP_Bool SetCursor(PP_Instance instance, PP_MouseCursor_Type type, PP_Resource /*image*/, const PP_Point* /*hotSpot*/) {
  BrowserContext* browser = ActiveBrowser();
  const InstanceRecord* record = browser != nullptr ? browser->instances.Find(instance) : nullptr;
  if (record == nullptr) return PP_FALSE;
  const bool ok = !browser->cursorRefused && IsStockCursor(type);
  browser->output.Cursor(record->pageId, static_cast<int32_t>(type), ok);
  return PP_FromBool(ok);
}

constexpr PPB_MouseCursor_1_0 kMouseCursor = {&SetCursor};

}  // namespace

const PPB_MouseCursor_1_0* MouseCursorInterface() { return &kMouseCursor; }

}  // namespace pphost
