#pragma once

#include <array>
#include <cstdint>

#include "host/ppapi/pp_types.h"

namespace TALLWICK_PP_RENDER {

// The attribute list of a renderer's 3D context: 8-bit colour with
// `alphaSize` alpha bits, no depth, stencil or multisampling, the given
// drawing-buffer size and the GPU preference, terminated by NONE.
using ContextAttributes = std::array<int32_t, 23>;
ContextAttributes MakeContextAttributes(int32_t alphaSize, int32_t width, int32_t height,
                                        bool enableHighPerformanceGPU);

// A view extent in device pixels: `extent` x `dpr`, truncated toward zero and
// saturated (the page's dpr may be any number).
int32_t ScaleByDpr(int32_t extent, double dpr);

// The started module's browser-interface getter, as a plain function for
// glInitializePPAPI; null answers when no module is started.
const void* ModuleBrowserInterface(const char* name);

}  // namespace TALLWICK_PP_RENDER
