#pragma once

/* Every Pepper C ABI declaration this project uses, in one include. */

#include "host/ppapi/pp_types.h"
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
#include "host/ppapi/ppp.h"
#include "host/ppapi/ppp_graphics_3d.h"
#include "host/ppapi/ppp_input_event.h"
#include "host/ppapi/ppp_instance.h"
#include "host/ppapi/ppp_message_handler.h"
#include "host/ppapi/ppp_messaging.h"
