// "PPB_Instance;1.0": an instance shows the 3D context bound to it.
#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/instance_graphics.h"

namespace pphost {

namespace {

PP_Bool BindGraphics(PP_Instance instance, PP_Resource device) {
  BrowserContext* browser = ActiveBrowser();
  return PP_FromBool(browser != nullptr && BindInstanceGraphics(*browser, instance, device));
}

PP_Bool IsFullFrame(PP_Instance /*instance*/) { return PP_FALSE; }

constexpr PPB_Instance_1_0 kInstance = {&BindGraphics, &IsFullFrame};

}  // namespace

const PPB_Instance_1_0* InstanceInterface() { return &kInstance; }

}  // namespace pphost
