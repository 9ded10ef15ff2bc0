#pragma once

/* The three functions a Pepper module exports, by these exact names with C
   linkage, and the types a host uses to call them. */

#include "host/ppapi/pp_types.h"

/* Marks the entry points for export from a module built with hidden
   visibility. */
#if defined(_WIN32)
#define PP_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define PP_EXPORT __attribute__((visibility("default")))
#else
#define PP_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* First call into the module. Anything but PP_OK refuses the load; the
   module is then unloaded without PPP_ShutdownModule. */
PP_EXPORT int32_t PPP_InitializeModule(PP_Module module, PPB_GetInterface get_browser_interface);

/* May be called before the module is unloaded; may also be skipped. */
PP_EXPORT void PPP_ShutdownModule(void);

/* The module's interface for `interface_name`, or null. Must only look the
   name up: the browser may call it from inside other calls. */
PP_EXPORT const void* PPP_GetInterface(const char* interface_name);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* Types of the entry points, for a host that finds them with dlsym or
   GetProcAddress. */
typedef int32_t(PP_CALL* PP_InitializeModule_Func)(PP_Module module, PPB_GetInterface get_browser_interface);
typedef void(PP_CALL* PP_ShutdownModule_Func)(void);
/* PP_GetInterface_Func (the type of PPP_GetInterface) is in pp_types.h. */
