// "PPB_Graphics3D;1.0": 3D contexts made by the host's back end (EGL, or
// answered ones without pixels; none in a build without OpenGL). A swap
// stages the drawing buffer at once (on the GPU with EGL) and completes
// through the main loop, in order; the buffer keeps its content. Nothing is
// read back to the CPU unless the page asks.
#include <iostream>
#include <memory>
#include <utility>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/instance_graphics.h"
#include "devhost/gl/context_3d.h"

namespace pphost {

namespace {

constexpr int32_t kColourBits = 8;
constexpr int32_t kDepthBits = 24;
constexpr int32_t kStencilBits = 8;

// The value of a readable attribute of a context with `attributes`, or false
// for a name the host does not know.
bool AttributeValue(const Context3DAttributes& attributes, int32_t name, int32_t& value) {
  switch (name) {
    case PP_GRAPHICS3DATTRIB_ALPHA_SIZE:
      value = attributes.alphaSize > 0 ? kColourBits : 0;
      return true;
    case PP_GRAPHICS3DATTRIB_RED_SIZE:
    case PP_GRAPHICS3DATTRIB_GREEN_SIZE:
    case PP_GRAPHICS3DATTRIB_BLUE_SIZE:
      value = kColourBits;
      return true;
    case PP_GRAPHICS3DATTRIB_DEPTH_SIZE:
      value = attributes.depthSize > 0 || attributes.stencilSize > 0 ? kDepthBits : 0;
      return true;
    case PP_GRAPHICS3DATTRIB_STENCIL_SIZE:
      value = attributes.depthSize > 0 || attributes.stencilSize > 0 ? kStencilBits : 0;
      return true;
    case PP_GRAPHICS3DATTRIB_SAMPLES:
    case PP_GRAPHICS3DATTRIB_SAMPLE_BUFFERS:
      value = 0;
      return true;
    case PP_GRAPHICS3DATTRIB_WIDTH:
      value = attributes.width;
      return true;
    case PP_GRAPHICS3DATTRIB_HEIGHT:
      value = attributes.height;
      return true;
    case PP_GRAPHICS3DATTRIB_SWAP_BEHAVIOR:
      value = PP_GRAPHICS3DATTRIB_BUFFER_PRESERVED;
      return true;
    case PP_GRAPHICS3DATTRIB_GPU_PREFERENCE:
      value = attributes.gpuPreference;
      return true;
    default:
      return false;
  }
}

bool ValidSide(int32_t side) { return side >= 0 && side <= kMaxDrawingBufferSide; }

// Reads name/value pairs up to PP_GRAPHICS3DATTRIB_NONE; names the host
// does not use are skipped. False for a size it cannot make.
bool ReadAttributes(const int32_t* list, Context3DAttributes& attributes) {
  for (const int32_t* at = list; at != nullptr && *at != PP_GRAPHICS3DATTRIB_NONE; at += 2) {
    const int32_t value = at[1];
    switch (at[0]) {
      case PP_GRAPHICS3DATTRIB_WIDTH:
        attributes.width = value;
        break;
      case PP_GRAPHICS3DATTRIB_HEIGHT:
        attributes.height = value;
        break;
      case PP_GRAPHICS3DATTRIB_ALPHA_SIZE:
        attributes.alphaSize = value;
        break;
      case PP_GRAPHICS3DATTRIB_DEPTH_SIZE:
        attributes.depthSize = value;
        break;
      case PP_GRAPHICS3DATTRIB_STENCIL_SIZE:
        attributes.stencilSize = value;
        break;
      case PP_GRAPHICS3DATTRIB_GPU_PREFERENCE:
        attributes.gpuPreference = value;
        break;
      default:
        break;
    }
  }
  return ValidSide(attributes.width) && ValidSide(attributes.height);
}

int32_t GetAttribMaxValue(PP_Resource /*instance*/, int32_t attribute, int32_t* value) {
  if (value == nullptr) return PP_ERROR_BADARGUMENT;
  Context3DAttributes largest;
  largest.width = largest.height = kMaxDrawingBufferSide;
  largest.depthSize = largest.stencilSize = 1;
  return AttributeValue(largest, attribute, *value) ? PP_OK : PP_ERROR_BADARGUMENT;
}

PP_Resource Create(PP_Instance instance, PP_Resource shareContext, const int32_t attribList[]) {
  BrowserContext* browser = ActiveBrowser();
  Context3DAttributes attributes;
  if (browser == nullptr || browser->contextsRefused || browser->instances.Find(instance) == nullptr ||
      !ReadAttributes(attribList, attributes)) {
    return 0;
  }
  if (browser->contexts == nullptr) {
    static const bool told = [] {
      std::cerr << "pphost: no 3D contexts: this build has no OpenGL\n";
      return true;
    }();
    (void)told;
    return 0;
  }
  std::shared_ptr<Context3D> context = browser->contexts->Make(instance, attributes, FindContext3D(shareContext));
  if (context == nullptr) return 0;
  return browser->resources.Create(instance, Graphics3DData{std::move(context)});
}

PP_Bool IsGraphics3D(PP_Resource resource) { return PP_FromBool(FindContext3D(resource) != nullptr); }

int32_t GetAttribs(PP_Resource context, int32_t attribList[]) {
  const Context3D* gl = FindContext3D(context);
  if (gl == nullptr) return PP_ERROR_BADRESOURCE;
  if (attribList == nullptr) return PP_ERROR_BADARGUMENT;
  for (int32_t* at = attribList; *at != PP_GRAPHICS3DATTRIB_NONE; at += 2) {
    if (!AttributeValue(gl->Attributes(), at[0], at[1])) return PP_ERROR_BADARGUMENT;
  }
  return PP_OK;
}

// Only the swap behaviour may be set, and only to what it is: preserved.
int32_t SetAttribs(PP_Resource context, const int32_t attribList[]) {
  if (FindContext3D(context) == nullptr) return PP_ERROR_BADRESOURCE;
  if (attribList == nullptr) return PP_ERROR_BADARGUMENT;
  for (const int32_t* at = attribList; *at != PP_GRAPHICS3DATTRIB_NONE; at += 2) {
    if (at[0] != PP_GRAPHICS3DATTRIB_SWAP_BEHAVIOR || at[1] != PP_GRAPHICS3DATTRIB_BUFFER_PRESERVED) {
      return PP_ERROR_BADARGUMENT;
    }
  }
  return PP_OK;
}

int32_t GetError(PP_Resource context) {
  const Context3D* gl = FindContext3D(context);
  if (gl == nullptr) return PP_ERROR_BADRESOURCE;
  return gl->Lost() ? PP_ERROR_CONTEXT_LOST : PP_OK;
}

int32_t ResizeBuffers(PP_Resource context, int32_t width, int32_t height) {
  Context3D* gl = FindContext3D(context);
  return gl != nullptr ? gl->Resize(width, height) : PP_ERROR_BADRESOURCE;
}

// A swap in flight (its picture staged on the GPU), and the module's callback.
struct PendingSwap {
  std::shared_ptr<Context3D> context;
  PP_Resource resource;
  PP_CompletionCallback callback;
};

int32_t FinishSwap(BrowserContext& browser, PendingSwap& swap) {
  swap.context->swapPending = false;
  if (swap.context->Lost()) return PP_ERROR_CONTEXT_LOST;
  PresentSwap(browser, swap.resource, swap.context);
  return PP_OK;
}

void CompleteSwap(void* userData, int32_t result) {
  std::unique_ptr<PendingSwap> swap(static_cast<PendingSwap*>(userData));
  BrowserContext* browser = ActiveBrowser();
  if (result != PP_ERROR_ABORTED && browser != nullptr) {
    result = FinishSwap(*browser, *swap);
  } else {
    swap->context->swapPending = false;
  }
  PP_CompletionCallback callback = swap->callback;
  swap.reset();
  PP_RunCompletionCallback(&callback, result);
}

int32_t SwapBuffers(PP_Resource context, PP_CompletionCallback callback) {
  BrowserContext* browser = ActiveBrowser();
  const Graphics3DData* data = browser != nullptr ? browser->resources.Get<Graphics3DData>(context) : nullptr;
  if (data == nullptr) return PP_ERROR_BADRESOURCE;
  Context3D& gl = *data->context;
  if (gl.Lost()) return PP_ERROR_CONTEXT_LOST;
  if (gl.swapPending) return PP_ERROR_INPROGRESS;
  if (browser->swapsRefused) return PP_ERROR_FAILED;  // nothing staged: what was presented stays
  if (!gl.StageSwap()) return PP_ERROR_CONTEXT_LOST;
  auto swap = std::make_unique<PendingSwap>(PendingSwap{data->context, context, callback});
  if (callback.func == nullptr) return FinishSwap(*browser, *swap);  // a blocking swap completes now
  gl.swapPending = true;
  // As a browser's GPU process would: the main thread goes on, and the swap
  // completes once the GPU has drawn what it staged.
  std::shared_ptr<Context3D> staged = data->context;
  browser->loop.PostWhenReady(PP_MakeCompletionCallback(&CompleteSwap, swap.release()), PP_OK,
                              [staged](int64_t timeoutNs) { return staged->StagedDone(timeoutNs); });
  return PP_OK_COMPLETIONPENDING;
}

constexpr PPB_Graphics3D_1_0 kGraphics3D = {&GetAttribMaxValue, &Create,   &IsGraphics3D,  &GetAttribs,
                                            &SetAttribs,        &GetError, &ResizeBuffers, &SwapBuffers};

}  // namespace

const PPB_Graphics3D_1_0* Graphics3DInterface() { return &kGraphics3D; }

}  // namespace pphost
