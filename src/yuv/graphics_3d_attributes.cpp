#include "yuv/graphics_3d_attributes.h"

#include "host/ppapi/ppb_graphics_3d.h"

namespace TALLWICK_PP_RENDER {

Graphics3DAttributes MakeGraphics3DAttributes(int32_t alphaSize, int32_t width, int32_t height,
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

}  // namespace TALLWICK_PP_RENDER
