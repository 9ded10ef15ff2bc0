#pragma once

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

namespace pphost {

// The browser's get-interface function given to PPP_InitializeModule: the
// table for a name the host offers, null for any other.
const void* GetBrowserInterface(const char* name);

// The tables themselves, one group a file.
const PPB_Core_1_0* CoreInterface();
const PPB_Messaging_1_0* Messaging10Interface();
const PPB_Messaging_1_2* Messaging12Interface();
const PPB_Var_1_0* Var10Interface();
const PPB_Var_1_1* Var11Interface();
const PPB_Var_1_2* Var12Interface();
const PPB_VarDictionary_1_0* VarDictionaryInterface();
const PPB_VarArray_1_0* VarArrayInterface();
const PPB_View_1_0* View10Interface();
const PPB_View_1_1* View11Interface();
const PPB_View_1_2* View12Interface();
const PPB_InputEvent_1_0* InputEventInterface();
const PPB_MouseInputEvent_1_1* MouseInputEventInterface();
const PPB_MouseCursor_1_0* MouseCursorInterface();
const PPB_Instance_1_0* InstanceInterface();
const PPB_Graphics3D_1_0* Graphics3DInterface();
// The host's own GL calls; null in a build without OpenGL.
const PPB_OpenGLES2_1_0* OpenGLES2Interface();
// The same calls written to the active host's GL call record on their way.
const PPB_OpenGLES2_1_0* RecordedOpenGLES2Interface();
// The table that answers calls on pixel-free contexts itself and hands the
// others on to OpenGLES2Interface() (pixel_free_opengles2.cpp).
const PPB_OpenGLES2_1_0* PixelFreeOpenGLES2Interface();
// OpenGLES2Interface() for the tables that hand calls on to it: where the
// host has none, a table without members.
const PPB_OpenGLES2_1_0& HostOpenGLES2();

}  // namespace pphost
