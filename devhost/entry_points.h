#pragma once

#include "host/ppapi/pp_types.h"
#include "host/ppapi/ppp.h"

namespace pphost {

// The three functions a module exports, found with dlsym or handed over
// directly by a test that links a module into itself.
struct EntryPoints {
  PP_InitializeModule_Func initialize = nullptr;
  PP_GetInterface_Func getInterface = nullptr;
  PP_ShutdownModule_Func shutdown = nullptr;
};

}  // namespace pphost
