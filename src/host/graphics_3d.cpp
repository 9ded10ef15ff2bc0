#include "host/graphics_3d.h"

#include "host/browser_interfaces.h"

namespace pp {

namespace {

PP_Resource CreateContext(const Instance& instance, PP_Resource share, const int32_t attribList[]) {
  const auto* g3d = Browser().graphics3d;
  return g3d != nullptr ? g3d->Create(instance.pp_instance(), share, attribList) : 0;
}

}  // namespace

Graphics3D::Graphics3D(const Instance& instance, const int32_t attribList[])
    : Resource(PassRef(), CreateContext(instance, 0, attribList)) {}

Graphics3D::Graphics3D(const Instance& instance, const Graphics3D& shareContext, const int32_t attribList[])
    : Resource(PassRef(), CreateContext(instance, shareContext.pp_resource(), attribList)) {}

int32_t Graphics3D::ResizeBuffers(int32_t width, int32_t height) {
  const auto* g3d = Browser().graphics3d;
  return g3d != nullptr ? g3d->ResizeBuffers(pp_resource(), width, height) : PP_ERROR_NOINTERFACE;
}

int32_t Graphics3D::SwapBuffers(const CompletionCallback& callback) {
  const auto* g3d = Browser().graphics3d;
  const int32_t result =
      g3d != nullptr ? g3d->SwapBuffers(pp_resource(), callback.pp_completion_callback()) : PP_ERROR_NOINTERFACE;
  if (result == PP_OK_COMPLETIONPENDING || callback.IsNull()) return result;
  if (Browser().core != nullptr) {
    Browser().core->CallOnMainThread(0, callback.pp_completion_callback(), result);
  } else {
    CompletionCallback copy = callback;
    copy.Run(result);
  }
  return result;
}

}  // namespace pp
