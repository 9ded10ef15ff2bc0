#include "yuv/gl_context.h"

#include "common/saturating.h"
#include "host/module.h"
#include "host/ppapi/ppb_graphics_3d.h"

namespace TALLWICK_PP_RENDER {

ContextAttributes MakeContextAttributes(int32_t alphaSize, int32_t width, int32_t height,
                                        bool enableHighPerformanceGPU) {
  const int32_t gpu = enableHighPerformanceGPU ? PP_GRAPHICS3DATTRIB_GPU_PREFERENCE_PERFORMANCE
                                               : PP_GRAPHICS3DATTRIB_GPU_PREFERENCE_LOW_POWER;
  return {PP_GRAPHICS3DATTRIB_ALPHA_SIZE,
          alphaSize,
          PP_GRAPHICS3DATTRIB_BLUE_SIZE,
          8,
          PP_GRAPHICS3DATTRIB_GREEN_SIZE,
          8,
          PP_GRAPHICS3DATTRIB_RED_SIZE,
          8,
          PP_GRAPHICS3DATTRIB_DEPTH_SIZE,
          0,
          PP_GRAPHICS3DATTRIB_STENCIL_SIZE,
          0,
          PP_GRAPHICS3DATTRIB_SAMPLES,
          0,
          PP_GRAPHICS3DATTRIB_SAMPLE_BUFFERS,
          0,
          PP_GRAPHICS3DATTRIB_WIDTH,
          width,
          PP_GRAPHICS3DATTRIB_HEIGHT,
          height,
          PP_GRAPHICS3DATTRIB_GPU_PREFERENCE,
          gpu,
          PP_GRAPHICS3DATTRIB_NONE};
}

int32_t ScaleByDpr(int32_t extent, double dpr) { return tallwick::TruncateToInt32(static_cast<double>(extent) * dpr); }

const void* ModuleBrowserInterface(const char* name) {
  const pp::Module* module = pp::Module::Get();
  return module != nullptr ? module->GetBrowserInterface(name) : nullptr;
}

}  // namespace TALLWICK_PP_RENDER
