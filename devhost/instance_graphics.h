#pragma once

#include "devhost/browser_context.h"
#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

class GlContext;

// The 3D context behind `resource` in the active host, or null.
GlContext* FindGlContext(PP_Resource resource);
// The same, made current for a GL call; null when unknown or lost.
GlContext* CurrentGlContext(PP_Resource resource);

// PPB_Instance BindGraphics: a context of that instance, or 0 to unbind.
bool BindInstanceGraphics(BrowserContext& browser, PP_Instance instance, PP_Resource resource);

// A swap of `resource` completed with `image`: when the context is bound,
// the image becomes its instance's presented one.
void PresentSwap(BrowserContext& browser, PP_Resource resource, PresentedImage image);

// Every 3D context of the instance is lost (before the module is told).
void LoseInstanceContexts(BrowserContext& browser, PP_Instance instance);

// The instance is going away: it lets go of its bound context and every
// context it made loses its EGL context, even one the module still holds.
void ReleaseInstanceGraphics(BrowserContext& browser, PP_Instance instance);

}  // namespace pphost
