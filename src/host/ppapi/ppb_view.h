#pragma once

/* "PPB_View": reading the view resource given to DidChangeView. Each
   version extends the previous one at the end. */

#include "host/ppapi/pp_types.h"

#define PPB_VIEW_INTERFACE_1_0 "PPB_View;1.0"
#define PPB_VIEW_INTERFACE_1_1 "PPB_View;1.1"
#define PPB_VIEW_INTERFACE_1_2 "PPB_View;1.2"
#define PPB_VIEW_INTERFACE PPB_VIEW_INTERFACE_1_2

struct PPB_View_1_0 {
  PP_Bool(PP_CALL* IsView)(PP_Resource resource);
  /* The element's rectangle in page coordinates (DIPs). */
  PP_Bool(PP_CALL* GetRect)(PP_Resource resource, struct PP_Rect* rect);
  PP_Bool(PP_CALL* IsFullscreen)(PP_Resource resource);
  /* Scrolled into view and on a visible page. */
  PP_Bool(PP_CALL* IsVisible)(PP_Resource resource);
  PP_Bool(PP_CALL* IsPageVisible)(PP_Resource resource);
  /* The visible part, relative to the element's upper-left corner. */
  PP_Bool(PP_CALL* GetClipRect)(PP_Resource resource, struct PP_Rect* clip);
};

struct PPB_View_1_1 {
  PP_Bool(PP_CALL* IsView)(PP_Resource resource);
  PP_Bool(PP_CALL* GetRect)(PP_Resource resource, struct PP_Rect* rect);
  PP_Bool(PP_CALL* IsFullscreen)(PP_Resource resource);
  PP_Bool(PP_CALL* IsVisible)(PP_Resource resource);
  PP_Bool(PP_CALL* IsPageVisible)(PP_Resource resource);
  PP_Bool(PP_CALL* GetClipRect)(PP_Resource resource, struct PP_Rect* clip);
  /* Device pixels per DIP; 0.0 for an invalid resource. */
  float(PP_CALL* GetDeviceScale)(PP_Resource resource);
  /* DIPs per CSS pixel; 0.0 for an invalid resource. */
  float(PP_CALL* GetCSSScale)(PP_Resource resource);
};

struct PPB_View_1_2 {
  PP_Bool(PP_CALL* IsView)(PP_Resource resource);
  PP_Bool(PP_CALL* GetRect)(PP_Resource resource, struct PP_Rect* rect);
  PP_Bool(PP_CALL* IsFullscreen)(PP_Resource resource);
  PP_Bool(PP_CALL* IsVisible)(PP_Resource resource);
  PP_Bool(PP_CALL* IsPageVisible)(PP_Resource resource);
  PP_Bool(PP_CALL* GetClipRect)(PP_Resource resource, struct PP_Rect* clip);
  float(PP_CALL* GetDeviceScale)(PP_Resource resource);
  float(PP_CALL* GetCSSScale)(PP_Resource resource);
  /* Scroll offset of the containing window, in CSS pixels. */
  PP_Bool(PP_CALL* GetScrollOffset)(PP_Resource resource, struct PP_Point* offset);
};

typedef struct PPB_View_1_2 PPB_View;
