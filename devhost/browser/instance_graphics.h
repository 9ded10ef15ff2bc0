#pragma once

#include <memory>

#include "devhost/browser/browser_context.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

class Context3D;

// The 3D context behind `resource` in the active host, or null.
Context3D* FindContext3D(PP_Resource resource);
// The same, made current for a GL call; null when unknown or lost.
Context3D* CurrentContext3D(PP_Resource resource);

// PPB_Instance BindGraphics: a context of that instance, or 0 to unbind.
bool BindInstanceGraphics(BrowserContext& browser, PP_Instance instance, PP_Resource resource);

// A swap of `resource` completed: the picture it staged becomes the context's
// shown one and, when the context is bound, its instance's presented one
// (still on the GPU; read when the page asks).
void PresentSwap(BrowserContext& browser, PP_Resource resource, const std::shared_ptr<Context3D>& context);

// Every 3D context of the instance is lost (before the module is told).
void LoseInstanceContexts(BrowserContext& browser, PP_Instance instance);

// The instance is going away: it lets go of its bound context and every
// context it made loses its EGL context, even one the module still holds.
void ReleaseInstanceGraphics(BrowserContext& browser, PP_Instance instance);

}  // namespace pphost
