#pragma once

#include "host/ppapi/pp_types.h"
#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppb_graphics_3d.h"
#include "host/ppapi/ppb_input_event.h"
#include "host/ppapi/ppb_instance.h"
#include "host/ppapi/ppb_mouse_cursor.h"
#include "host/ppapi/ppb_var_array.h"
#include "host/ppapi/ppb_var_dictionary.h"

namespace pp {

// The browser functions the binding uses, fetched once at module start from
// the newest interface version the host offers. Interfaces whose versions
// differ only by appended members are flattened into plain function
// pointers; a null pointer means the host lacks it and the operation is a
// no-op with a neutral answer.
struct BrowserInterfaces {
  const PPB_Core_1_0* core = nullptr;

  void(PP_CALL* postMessage)(PP_Instance, PP_Var) = nullptr;

  void(PP_CALL* varAddRef)(PP_Var) = nullptr;
  void(PP_CALL* varRelease)(PP_Var) = nullptr;
  PP_Var(PP_CALL* varFromUtf8)(const char*, uint32_t) = nullptr;                   // 1.1 and later
  PP_Var(PP_CALL* varFromUtf8Module)(PP_Module, const char*, uint32_t) = nullptr;  // 1.0
  const char*(PP_CALL* varToUtf8)(PP_Var, uint32_t*) = nullptr;

  const PPB_VarDictionary_1_0* dictionary = nullptr;
  const PPB_VarArray_1_0* array = nullptr;
  const PPB_InputEvent_1_0* inputEvent = nullptr;
  const PPB_Instance_1_0* instance = nullptr;

  PP_Bool(PP_CALL* viewGetRect)(PP_Resource, PP_Rect*) = nullptr;
  PP_Bool(PP_CALL* viewIsVisible)(PP_Resource) = nullptr;
  float(PP_CALL* viewGetDeviceScale)(PP_Resource) = nullptr;  // 1.1 and later

  const PPB_MouseCursor_1_0* mouseCursor = nullptr;
  const PPB_Graphics3D_1_0* graphics3d = nullptr;
};

// Fills the table from the host; returns false when "PPB_Core;1.0" is missing.
bool LoadBrowserInterfaces(PPB_GetInterface getInterface, PP_Module module);
void ClearBrowserInterfaces();

const BrowserInterfaces& Browser();
PP_Module BrowserModuleHandle();

}  // namespace pp
