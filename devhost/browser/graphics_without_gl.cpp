// A host built without OpenGL (the Windows build): "PPB_Graphics3D;1.0" is
// offered but makes no context, as on a machine where EGL cannot start, and
// there is no "PPB_OpenGLES2;1.0". Without contexts nothing is ever bound,
// swapped or lost.
#include <iostream>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/instance_graphics.h"

namespace pphost {

namespace {

int32_t GetAttribMaxValue(PP_Resource /*instance*/, int32_t /*attribute*/, int32_t* /*value*/) {
  return PP_ERROR_NOTSUPPORTED;
}

PP_Resource Create(PP_Instance /*instance*/, PP_Resource /*shareContext*/, const int32_t* /*attribList*/) {
  static const bool told = [] {
    std::cerr << "pphost: no 3D contexts: this build has no OpenGL\n";
    return true;
  }();
  (void)told;
  return 0;
}

PP_Bool IsGraphics3D(PP_Resource /*resource*/) { return PP_FALSE; }

int32_t NoContext(PP_Resource /*context*/, const int32_t* /*attribList*/) { return PP_ERROR_BADRESOURCE; }

int32_t GetAttribs(PP_Resource /*context*/, int32_t* /*attribList*/) { return PP_ERROR_BADRESOURCE; }

int32_t GetError(PP_Resource /*context*/) { return PP_ERROR_BADRESOURCE; }

int32_t ResizeBuffers(PP_Resource /*context*/, int32_t /*width*/, int32_t /*height*/) { return PP_ERROR_BADRESOURCE; }

int32_t SwapBuffers(PP_Resource /*context*/, PP_CompletionCallback /*callback*/) { return PP_ERROR_BADRESOURCE; }

constexpr PPB_Graphics3D_1_0 kGraphics3D = {&GetAttribMaxValue, &Create,   &IsGraphics3D,  &GetAttribs,
                                            &NoContext,         &GetError, &ResizeBuffers, &SwapBuffers};

}  // namespace

const PPB_Graphics3D_1_0* Graphics3DInterface() { return &kGraphics3D; }

const PPB_OpenGLES2_1_0* OpenGLES2Interface() { return nullptr; }

// Only unbinding can succeed, and there is never anything bound.
bool BindInstanceGraphics(BrowserContext& browser, PP_Instance instance, PP_Resource resource) {
  return resource == 0 && browser.instances.Find(instance) != nullptr;
}

void PresentSwap(BrowserContext& /*browser*/, PP_Resource /*resource*/, const std::shared_ptr<GlContext>& /*context*/) {
}

void LoseInstanceContexts(BrowserContext& /*browser*/, PP_Instance /*instance*/) {}

void ReleaseInstanceGraphics(BrowserContext& /*browser*/, PP_Instance /*instance*/) {}

}  // namespace pphost
