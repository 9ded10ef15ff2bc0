#pragma once

#include <cstdint>

#include "host/completion_callback.h"
#include "host/instance.h"
#include "host/resource.h"

namespace pp {

// A browser 3D drawing context ("PPB_Graphics3D;1.0"). Null when the browser
// lacks the interface or refuses to create it.
class Graphics3D : public Resource {
 public:
  Graphics3D() = default;
  // `attribList` is a PP_GRAPHICS3DATTRIB_NONE-terminated name/value list
  // (may be null). No share context.
  Graphics3D(const Instance& instance, const int32_t attribList[]);
  Graphics3D(const Instance& instance, const Graphics3D& shareContext, const int32_t attribList[]);

  // PP_ERROR_NOINTERFACE (-6) without the browser interface.
  int32_t ResizeBuffers(int32_t width, int32_t height);

  // Presents the colour buffer; `callback` runs when the browser has shown
  // it. When the browser refuses the swap (a lost context, a swap already in
  // flight) or lacks the interface (PP_ERROR_NOINTERFACE), the callback is
  // still run with that code from the main-thread queue (never from inside
  // this call), so a caller waiting for it is not stuck.
  int32_t SwapBuffers(const CompletionCallback& callback);
};

}  // namespace pp
