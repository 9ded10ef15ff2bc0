#pragma once

// What the parts of the fake plug-in share: the browser's interfaces and
// small var helpers.
#include <string>

#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppb_graphics_3d.h"
#include "host/ppapi/ppb_input_event.h"
#include "host/ppapi/ppb_instance.h"
#include "host/ppapi/ppb_messaging.h"
#include "host/ppapi/ppb_mouse_cursor.h"
#include "host/ppapi/ppb_opengles2.h"
#include "host/ppapi/ppb_var.h"
#include "host/ppapi/ppb_var_array.h"
#include "host/ppapi/ppb_var_dictionary.h"
#include "host/ppapi/ppb_view.h"

namespace fake_plugin {

struct Browser {
  const PPB_Core_1_0* core = nullptr;
  const PPB_Var_1_2* var = nullptr;
  const PPB_VarDictionary_1_0* dict = nullptr;
  const PPB_VarArray_1_0* array = nullptr;
  const PPB_Messaging_1_0* messaging = nullptr;
  const PPB_View_1_2* view = nullptr;
  const PPB_InputEvent_1_0* input = nullptr;
  const PPB_MouseInputEvent_1_1* mouse = nullptr;
  const PPB_MouseCursor_1_0* cursor = nullptr;
  const PPB_Instance_1_0* instance = nullptr;
  const PPB_Graphics3D_1_0* graphics3d = nullptr;
  const PPB_OpenGLES2_1_0* gl = nullptr;
};

extern Browser g_browser;

PP_Var Str(const std::string& text);
std::string TextOf(PP_Var var);
// Sets `key` and lets go of the caller's reference to `value`.
void Put(PP_Var dict, const char* key, PP_Var value);
void Append(PP_Var array, PP_Var value);
PP_Var Get(PP_Var dict, const char* key);
std::string GetString(PP_Var dict, const char* key);
int32_t GetInt(PP_Var dict, const char* key);
bool GetBool(PP_Var dict, const char* key);
// An int or a double as a double; 0 for anything else.
double GetNumber(PP_Var dict, const char* key);
PP_Var Event(const char* command);
void PostAndRelease(PP_Instance instance, PP_Var event);

// The 3D part: commands on the instance's context (see fake_plugin.h).
// False for a command that is not one of them.
bool RunGlCommand(PP_Instance instance, PP_Var message, const std::string& command);
// The instance is going: its context is released unless it was leaked.
void ForgetGlInstance(PP_Instance instance);
void ResetGl();

}  // namespace fake_plugin
