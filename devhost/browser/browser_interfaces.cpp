#include "devhost/browser/browser_interfaces.h"

#include <cstring>

#include "devhost/browser/browser_context.h"

namespace pphost {

namespace {

struct NamedInterface {
  const char* name;
  const void* table;
};

const NamedInterface* Interfaces(size_t& count) {
  static const NamedInterface kInterfaces[] = {
      {PPB_CORE_INTERFACE_1_0, CoreInterface()},
      {PPB_MESSAGING_INTERFACE_1_0, Messaging10Interface()},
      {PPB_MESSAGING_INTERFACE_1_2, Messaging12Interface()},
      {PPB_VAR_INTERFACE_1_0, Var10Interface()},
      {PPB_VAR_INTERFACE_1_1, Var11Interface()},
      {PPB_VAR_INTERFACE_1_2, Var12Interface()},
      {PPB_VAR_DICTIONARY_INTERFACE_1_0, VarDictionaryInterface()},
      {PPB_VAR_ARRAY_INTERFACE_1_0, VarArrayInterface()},
      {PPB_VIEW_INTERFACE_1_0, View10Interface()},
      {PPB_VIEW_INTERFACE_1_1, View11Interface()},
      {PPB_VIEW_INTERFACE_1_2, View12Interface()},
      {PPB_INPUT_EVENT_INTERFACE_1_0, InputEventInterface()},
      {PPB_MOUSE_INPUT_EVENT_INTERFACE_1_1, MouseInputEventInterface()},
      {PPB_MOUSECURSOR_INTERFACE_1_0, MouseCursorInterface()},
      {PPB_INSTANCE_INTERFACE_1_0, InstanceInterface()},
      {PPB_GRAPHICS_3D_INTERFACE_1_0, Graphics3DInterface()},
      {PPB_OPENGLES2_INTERFACE_1_0, OpenGLES2Interface()},
  };
  count = sizeof(kInterfaces) / sizeof(kInterfaces[0]);
  return kInterfaces;
}

}  // namespace

const PPB_OpenGLES2_1_0& HostOpenGLES2() {
  static const PPB_OpenGLES2_1_0 kNone{};
  const PPB_OpenGLES2_1_0* live = OpenGLES2Interface();
  return live != nullptr ? *live : kNone;
}

const void* GetBrowserInterface(const char* name) {
  if (name == nullptr) return nullptr;
  const BrowserContext* browser = ActiveBrowser();
  if (browser != nullptr && browser->glCalls != nullptr && std::strcmp(name, PPB_OPENGLES2_INTERFACE_1_0) == 0) {
    return RecordedOpenGLES2Interface();
  }
  if (browser != nullptr && browser->pixelFreeGl && std::strcmp(name, PPB_OPENGLES2_INTERFACE_1_0) == 0) {
    return PixelFreeOpenGLES2Interface();
  }
  // GL calls need a 3D context: a host that makes none (the Windows host
  // unless asked for WGL) offers no GL either.
  if (browser != nullptr && browser->contexts == nullptr && std::strcmp(name, PPB_OPENGLES2_INTERFACE_1_0) == 0) {
    return nullptr;
  }
  size_t count = 0;
  const NamedInterface* interfaces = Interfaces(count);
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(interfaces[i].name, name) == 0) return interfaces[i].table;
  }
  return nullptr;
}

}  // namespace pphost
