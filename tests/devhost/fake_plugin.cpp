#include "devhost/fake_plugin.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "devhost/fake_plugin_support.h"
#include "host/ppapi/ppp_graphics_3d.h"
#include "host/ppapi/ppp_input_event.h"
#include "host/ppapi/ppp_instance.h"
#include "host/ppapi/ppp_messaging.h"
#include "tallwick_log.h"

namespace fake_plugin {

namespace {

Record g_record;
bool g_failInitialize = false;
bool g_keepNextView = false;
std::vector<PP_Var> g_keptVars;
std::vector<PP_Resource> g_keptResources;
std::set<PP_Instance> g_live;

PP_Var RectVar(const PP_Rect& rect) {
  const PP_Var array = g_browser.array->Create();
  for (int32_t value : {rect.point.x, rect.point.y, rect.size.width, rect.size.height}) {
    Append(array, PP_MakeInt32(value));
  }
  return array;
}

PP_Var Millis(double seconds) { return PP_MakeDouble(std::round(seconds * 1000.0)); }

// --- timers ---------------------------------------------------------------

struct Timer {
  PP_Instance instance;
  std::string post;
};

void OnTimer(void* userData, int32_t result) {
  auto* timer = static_cast<Timer*>(userData);
  if (result == PP_ERROR_ABORTED) {
    if (g_record.aborted.empty()) g_record.instancesGoneBeforeAborts = g_live.empty();
    g_record.aborted.push_back(timer->post);
  } else {
    const PP_Var event = Event(timer->post.c_str());
    Put(event, "ms", Millis(g_browser.core->GetTimeTicks()));
    PostAndRelease(timer->instance, event);
  }
  delete timer;
}

// --- commands -------------------------------------------------------------

void StartTimer(PP_Instance instance, PP_Var message) {
  std::string post = GetString(message, "post");
  auto* timer = new Timer{instance, post.empty() ? "FIRED" : post};
  g_browser.core->CallOnMainThread(GetInt(message, "delay"), PP_MakeCompletionCallback(&OnTimer, timer), PP_OK);
}

void PostTime(PP_Instance instance) {
  const PP_Var event = Event("TIME");
  Put(event, "ticks_ms", Millis(g_browser.core->GetTimeTicks()));
  Put(event, "wall_ms", Millis(g_browser.core->GetTime()));
  PostAndRelease(instance, event);
}

void RequestClasses(PP_Instance instance, PP_Var message) {
  const uint32_t classes = static_cast<uint32_t>(GetInt(message, "classes"));
  const int32_t result = GetBool(message, "filtering") ? g_browser.input->RequestFilteringInputEvents(instance, classes)
                                                       : g_browser.input->RequestInputEvents(instance, classes);
  const PP_Var event = Event("REQUESTED");
  Put(event, "result", PP_MakeInt32(result));
  PostAndRelease(instance, event);
}

void SetCursor(PP_Instance instance, PP_Var message) {
  const auto type = static_cast<PP_MouseCursor_Type>(GetInt(message, "type"));
  const PP_Bool ok = g_browser.cursor->SetCursor(instance, type, 0, nullptr);
  const PP_Var event = Event("CURSOR");
  Put(event, "ok", PP_MakeBool(ok));
  PostAndRelease(instance, event);
}

void ReleaseKept() {
  for (const PP_Var& var : g_keptVars) g_browser.var->Release(var);
  for (const PP_Resource resource : g_keptResources) g_browser.core->ReleaseResource(resource);
  g_keptVars.clear();
  g_keptResources.clear();
}

// Returns false for a message that is no command of ours.
bool RunCommand(PP_Instance instance, PP_Var message, const std::string& command) {
  if (command == "TIMER") {
    StartTimer(instance, message);
  } else if (command == "TIME") {
    PostTime(instance);
  } else if (command == "REQUEST") {
    RequestClasses(instance, message);
  } else if (command == "CLEAR") {
    g_browser.input->ClearInputEventRequest(instance, static_cast<uint32_t>(GetInt(message, "classes")));
  } else if (command == "CURSOR") {
    SetCursor(instance, message);
  } else if (command == "KEEP") {
    g_browser.var->AddRef(message);
    g_keptVars.push_back(message);
  } else if (command == "LEAK_STRING") {
    Str("leaked");
  } else if (command == "KEEP_VIEW") {
    g_keepNextView = true;
  } else if (command == "RELEASE") {
    ReleaseKept();
  } else if (command == "LOG") {
    TallwickLogWrite("FAKE", 3, GetString(message, "text").c_str());
  } else {
    return RunGlCommand(instance, message, command);
  }
  return true;
}

// --- PPP_Instance, PPP_Messaging, PPP_InputEvent, PPP_Graphics_3D ------------

PP_Bool DidCreate(PP_Instance instance, uint32_t argc, const char* argn[], const char* argv[]) {
  g_live.insert(instance);
  const PP_Var attrs = g_browser.array->Create();
  bool refuse = false;
  for (uint32_t i = 0; i < argc; ++i) {
    const PP_Var pair = g_browser.array->Create();
    Append(pair, Str(argn[i]));
    Append(pair, Str(argv[i]));
    Append(attrs, pair);
    refuse = refuse || std::strcmp(argn[i], "refuse") == 0;
  }
  const PP_Var event = Event("CREATED");
  Put(event, "attrs", attrs);
  PostAndRelease(instance, event);
  return refuse ? PP_FALSE : PP_TRUE;
}

void DidDestroy(PP_Instance instance) {
  g_record.destroyed.push_back(instance);
  PostAndRelease(instance, Event("DESTROYED"));
  ForgetGlInstance(instance);
  g_live.erase(instance);
}

void DidChangeView(PP_Instance instance, PP_Resource view) {
  PP_Rect rect{};
  PP_Rect clip{};
  g_browser.view->GetRect(view, &rect);
  g_browser.view->GetClipRect(view, &clip);
  const PP_Var event = Event("VIEW");
  Put(event, "rect", RectVar(rect));
  Put(event, "visible", PP_MakeBool(g_browser.view->IsVisible(view)));
  Put(event, "scale", PP_MakeDouble(g_browser.view->GetDeviceScale(view)));
  Put(event, "clip", RectVar(clip));
  PostAndRelease(instance, event);
  if (g_keepNextView) {
    g_browser.core->AddRefResource(view);
    g_keptResources.push_back(view);
    g_keepNextView = false;
  }
}

void DidChangeFocus(PP_Instance /*instance*/, PP_Bool /*hasFocus*/) {}

PP_Bool HandleDocumentLoad(PP_Instance /*instance*/, PP_Resource /*loader*/) { return PP_FALSE; }

void HandleMessage(PP_Instance instance, PP_Var message) {
  const std::string command = message.type == PP_VARTYPE_DICTIONARY ? GetString(message, "command") : "";
  if (!RunCommand(instance, message, command)) g_browser.messaging->PostMessage(instance, message);
}

PP_Bool HandleInputEvent(PP_Instance instance, PP_Resource input) {
  const PP_InputEvent_Type type = g_browser.input->GetType(input);
  const PP_Point position = g_browser.mouse->GetPosition(input);
  const PP_Var event = Event("INPUT");
  Put(event, "type", PP_MakeInt32(type));
  Put(event, "x", PP_MakeInt32(position.x));
  Put(event, "y", PP_MakeInt32(position.y));
  Put(event, "button", PP_MakeInt32(g_browser.mouse->GetButton(input)));
  Put(event, "modifiers", PP_MakeInt32(static_cast<int32_t>(g_browser.input->GetModifiers(input))));
  PostAndRelease(instance, event);
  return type == PP_INPUTEVENT_TYPE_MOUSEUP ? PP_TRUE : PP_FALSE;
}

void ContextLost(PP_Instance instance) { PostAndRelease(instance, Event("LOST")); }

constexpr PPP_Instance_1_1 kInstance = {&DidCreate, &DidDestroy, &DidChangeView, &DidChangeFocus, &HandleDocumentLoad};
constexpr PPP_Messaging_1_0 kMessaging = {&HandleMessage};
constexpr PPP_InputEvent_0_1 kInputEvent = {&HandleInputEvent};
constexpr PPP_Graphics3D_1_0 kGraphics3D = {&ContextLost};

// --- entry points -----------------------------------------------------------

template <typename Interface>
const Interface* Fetch(PPB_GetInterface getInterface, const char* name) {
  return static_cast<const Interface*>(getInterface(name));
}

int32_t Initialize(PP_Module /*module*/, PPB_GetInterface getInterface) {
  g_record = Record{};
  g_live.clear();
  g_keptVars.clear();
  g_keptResources.clear();
  g_keepNextView = false;
  ResetGl();
  if (g_failInitialize) return PP_ERROR_FAILED;
  g_browser.core = Fetch<PPB_Core_1_0>(getInterface, PPB_CORE_INTERFACE_1_0);
  g_browser.var = Fetch<PPB_Var_1_2>(getInterface, PPB_VAR_INTERFACE_1_2);
  g_browser.dict = Fetch<PPB_VarDictionary_1_0>(getInterface, PPB_VAR_DICTIONARY_INTERFACE_1_0);
  g_browser.array = Fetch<PPB_VarArray_1_0>(getInterface, PPB_VAR_ARRAY_INTERFACE_1_0);
  g_browser.messaging = Fetch<PPB_Messaging_1_0>(getInterface, PPB_MESSAGING_INTERFACE_1_0);
  g_browser.view = Fetch<PPB_View_1_2>(getInterface, PPB_VIEW_INTERFACE_1_2);
  g_browser.input = Fetch<PPB_InputEvent_1_0>(getInterface, PPB_INPUT_EVENT_INTERFACE_1_0);
  g_browser.mouse = Fetch<PPB_MouseInputEvent_1_1>(getInterface, PPB_MOUSE_INPUT_EVENT_INTERFACE_1_1);
  g_browser.cursor = Fetch<PPB_MouseCursor_1_0>(getInterface, PPB_MOUSECURSOR_INTERFACE_1_0);
  g_browser.instance = Fetch<PPB_Instance_1_0>(getInterface, PPB_INSTANCE_INTERFACE_1_0);
  g_browser.graphics3d = Fetch<PPB_Graphics3D_1_0>(getInterface, PPB_GRAPHICS_3D_INTERFACE_1_0);
  g_browser.gl = Fetch<PPB_OpenGLES2_1_0>(getInterface, PPB_OPENGLES2_INTERFACE_1_0);
  return PP_OK;
}

const void* GetInterface(const char* name) {
  if (std::strcmp(name, PPP_INSTANCE_INTERFACE_1_1) == 0) return &kInstance;
  if (std::strcmp(name, PPP_MESSAGING_INTERFACE_1_0) == 0) return &kMessaging;
  if (std::strcmp(name, PPP_INPUT_EVENT_INTERFACE_0_1) == 0) return &kInputEvent;
  if (std::strcmp(name, PPP_GRAPHICS_3D_INTERFACE_1_0) == 0) return &kGraphics3D;
  return nullptr;
}

void Shutdown() { g_record.shutDown = true; }

}  // namespace

pphost::EntryPoints EntryPoints() { return pphost::EntryPoints{&Initialize, &GetInterface, &Shutdown}; }

void SetFailInitialize(bool fail) { g_failInitialize = fail; }

const Record& Seen() { return g_record; }

}  // namespace fake_plugin
