#pragma once

#include "host/module.h"

namespace pp {

// What the three exported entry points of a plug-in do with its module
// object; a plug-in's exports (or a test's stand-ins for them) call these.

// Takes `module` (null when it could not be made), binds it to the browser
// and makes it the started module. PP_OK, or PP_ERROR_FAILED with nothing
// left started.
int32_t StartModule(Module* module, PP_Module handle, PPB_GetInterface getBrowserInterface);

// The started module's plug-in interface of that name; null without one.
const void* GetStartedModuleInterface(const char* name);

// Destroys the started module, if any.
void ShutdownStartedModule();

}  // namespace pp
