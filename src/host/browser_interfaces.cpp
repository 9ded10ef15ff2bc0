#include "host/browser_interfaces.h"

#include "host/ppapi/ppb_messaging.h"
#include "host/ppapi/ppb_var.h"
#include "host/ppapi/ppb_view.h"

namespace pp {

namespace {

BrowserInterfaces g_browser;
PP_Module g_module = 0;

template <typename Table>
const Table* Fetch(PPB_GetInterface getInterface, const char* name) {
  return static_cast<const Table*>(getInterface(name));
}

void LoadMessaging(PPB_GetInterface get) {
  if (const auto* m12 = Fetch<PPB_Messaging_1_2>(get, PPB_MESSAGING_INTERFACE_1_2)) {
    g_browser.postMessage = m12->PostMessage;
  } else if (const auto* m10 = Fetch<PPB_Messaging_1_0>(get, PPB_MESSAGING_INTERFACE_1_0)) {
    g_browser.postMessage = m10->PostMessage;
  }
}

template <typename VarTable>
void TakeVarCommon(const VarTable* table) {
  g_browser.varAddRef = table->AddRef;
  g_browser.varRelease = table->Release;
  g_browser.varToUtf8 = table->VarToUtf8;
}

void LoadVar(PPB_GetInterface get) {
  if (const auto* v12 = Fetch<PPB_Var_1_2>(get, PPB_VAR_INTERFACE_1_2)) {
    TakeVarCommon(v12);
    g_browser.varFromUtf8 = v12->VarFromUtf8;
  } else if (const auto* v11 = Fetch<PPB_Var_1_1>(get, PPB_VAR_INTERFACE_1_1)) {
    TakeVarCommon(v11);
    g_browser.varFromUtf8 = v11->VarFromUtf8;
  } else if (const auto* v10 = Fetch<PPB_Var_1_0>(get, PPB_VAR_INTERFACE_1_0)) {
    TakeVarCommon(v10);
    g_browser.varFromUtf8Module = v10->VarFromUtf8;
  }
}

void LoadView(PPB_GetInterface get) {
  if (const auto* v12 = Fetch<PPB_View_1_2>(get, PPB_VIEW_INTERFACE_1_2)) {
    g_browser.viewGetRect = v12->GetRect;
    g_browser.viewIsVisible = v12->IsVisible;
    g_browser.viewGetDeviceScale = v12->GetDeviceScale;
  } else if (const auto* v11 = Fetch<PPB_View_1_1>(get, PPB_VIEW_INTERFACE_1_1)) {
    g_browser.viewGetRect = v11->GetRect;
    g_browser.viewIsVisible = v11->IsVisible;
    g_browser.viewGetDeviceScale = v11->GetDeviceScale;
  } else if (const auto* v10 = Fetch<PPB_View_1_0>(get, PPB_VIEW_INTERFACE_1_0)) {
    g_browser.viewGetRect = v10->GetRect;
    g_browser.viewIsVisible = v10->IsVisible;
  }
}

}  // namespace

bool LoadBrowserInterfaces(PPB_GetInterface getInterface, PP_Module module) {
  ClearBrowserInterfaces();
  if (getInterface == nullptr) {
    return false;
  }
  const auto* core = Fetch<PPB_Core_1_0>(getInterface, PPB_CORE_INTERFACE_1_0);
  if (core == nullptr) {
    return false;
  }
  g_browser.core = core;
  g_module = module;
  LoadMessaging(getInterface);
  LoadVar(getInterface);
  LoadView(getInterface);
  g_browser.dictionary = Fetch<PPB_VarDictionary_1_0>(getInterface, PPB_VAR_DICTIONARY_INTERFACE_1_0);
  g_browser.array = Fetch<PPB_VarArray_1_0>(getInterface, PPB_VAR_ARRAY_INTERFACE_1_0);
  g_browser.inputEvent = Fetch<PPB_InputEvent_1_0>(getInterface, PPB_INPUT_EVENT_INTERFACE_1_0);
  g_browser.instance = Fetch<PPB_Instance_1_0>(getInterface, PPB_INSTANCE_INTERFACE_1_0);
  g_browser.mouseCursor = Fetch<PPB_MouseCursor_1_0>(getInterface, PPB_MOUSECURSOR_INTERFACE_1_0);
  g_browser.graphics3d = Fetch<PPB_Graphics3D_1_0>(getInterface, PPB_GRAPHICS_3D_INTERFACE_1_0);
  return true;
}

void ClearBrowserInterfaces() {
  g_browser = BrowserInterfaces();
  g_module = 0;
}

const BrowserInterfaces& Browser() { return g_browser; }

PP_Module BrowserModuleHandle() { return g_module; }

}  // namespace pp
