// "PPB_View" 1.0 to 1.2: reading the view resource given to DidChangeView.
#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"

namespace pphost {

namespace {

const ViewData* ViewOf(PP_Resource resource) {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? browser->resources.Get<ViewData>(resource) : nullptr;
}

PP_Bool IsView(PP_Resource resource) { return PP_FromBool(ViewOf(resource) != nullptr); }

PP_Bool GetRect(PP_Resource resource, PP_Rect* rect) {
  const ViewData* view = ViewOf(resource);
  if (view == nullptr || rect == nullptr) return PP_FALSE;
  *rect = view->rect;
  return PP_TRUE;
}

PP_Bool IsFullscreen(PP_Resource /*resource*/) { return PP_FALSE; }

PP_Bool IsVisible(PP_Resource resource) {
  const ViewData* view = ViewOf(resource);
  return PP_FromBool(view != nullptr && view->visible);
}

// The whole element shows when it is visible, nothing when it is not.
PP_Bool GetClipRect(PP_Resource resource, PP_Rect* clip) {
  const ViewData* view = ViewOf(resource);
  if (view == nullptr || clip == nullptr) return PP_FALSE;
  *clip = view->visible ? PP_MakeRectFromXYWH(0, 0, view->rect.size.width, view->rect.size.height)
                        : PP_MakeRectFromXYWH(0, 0, 0, 0);
  return PP_TRUE;
}

float GetDeviceScale(PP_Resource resource) {
  const ViewData* view = ViewOf(resource);
  return view != nullptr ? view->deviceScale : 0.0f;
}

float GetCSSScale(PP_Resource resource) { return ViewOf(resource) != nullptr ? 1.0f : 0.0f; }

PP_Bool GetScrollOffset(PP_Resource resource, PP_Point* offset) {
  if (ViewOf(resource) == nullptr || offset == nullptr) return PP_FALSE;
  *offset = PP_MakePoint(0, 0);
  return PP_TRUE;
}

constexpr PPB_View_1_0 kView10 = {&IsView, &GetRect, &IsFullscreen, &IsVisible, &IsVisible, &GetClipRect};
constexpr PPB_View_1_1 kView11 = {&IsView,    &GetRect,     &IsFullscreen,   &IsVisible,
                                  &IsVisible, &GetClipRect, &GetDeviceScale, &GetCSSScale};
constexpr PPB_View_1_2 kView12 = {&IsView,      &GetRect,        &IsFullscreen, &IsVisible,      &IsVisible,
                                  &GetClipRect, &GetDeviceScale, &GetCSSScale,  &GetScrollOffset};

}  // namespace

const PPB_View_1_0* View10Interface() { return &kView10; }
const PPB_View_1_1* View11Interface() { return &kView11; }
const PPB_View_1_2* View12Interface() { return &kView12; }

}  // namespace pphost
