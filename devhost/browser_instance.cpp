// "PPB_Instance;1.0". There is nothing to bind until the host has 3D
// contexts, so binding always fails.
#include "devhost/browser_interfaces.h"

namespace pphost {

namespace {

PP_Bool BindGraphics(PP_Instance /*instance*/, PP_Resource /*device*/) { return PP_FALSE; }

PP_Bool IsFullFrame(PP_Instance /*instance*/) { return PP_FALSE; }

constexpr PPB_Instance_1_0 kInstance = {&BindGraphics, &IsFullFrame};

}  // namespace

const PPB_Instance_1_0* InstanceInterface() { return &kInstance; }

}  // namespace pphost
