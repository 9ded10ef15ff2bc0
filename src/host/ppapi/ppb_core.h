#pragma once

/* "PPB_Core": resource reference counts, the browser's clocks and the
   main-thread task queue. */

#include "host/ppapi/pp_types.h"

#define PPB_CORE_INTERFACE_1_0 "PPB_Core;1.0"
#define PPB_CORE_INTERFACE PPB_CORE_INTERFACE_1_0

struct PPB_Core_1_0 {
  void(PP_CALL* AddRefResource)(PP_Resource resource);
  void(PP_CALL* ReleaseResource)(PP_Resource resource);
  /* Browser wall clock. */
  PP_Time(PP_CALL* GetTime)(void);
  /* Browser monotonic clock (also the clock of input-event time stamps). */
  PP_TimeTicks(PP_CALL* GetTimeTicks)(void);
  /* Runs `callback` with `result` on the main thread after the delay; never
     runs it before returning, even with a zero delay. */
  void(PP_CALL* CallOnMainThread)(int32_t delay_in_milliseconds, struct PP_CompletionCallback callback, int32_t result);
  PP_Bool(PP_CALL* IsMainThread)(void);
};

typedef struct PPB_Core_1_0 PPB_Core;
