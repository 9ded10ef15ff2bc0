#pragma once

#include <array>
#include <cstdint>

namespace TALLWICK_PP_RENDER {

// The attribute list of a renderer's 3D context: 8-bit colour with
// `alphaSize` alpha bits, no depth, stencil or multisampling, the given
// drawing-buffer size and the GPU preference, terminated by NONE.
using Graphics3DAttributes = std::array<int32_t, 23>;
Graphics3DAttributes MakeGraphics3DAttributes(int32_t alphaSize, int32_t width, int32_t height,
                                              bool enableHighPerformanceGPU);

}  // namespace TALLWICK_PP_RENDER
