#pragma once

#include <array>

namespace TALLWICK_PP_RENDER {

// Texture coordinates for the two triangles that cover a rectangle, six
// vertices in the order (0,0), (1,0), (0,1), (0,1), (1,0), (1,1) of the
// rectangle, an (s, t) pair each; the functions below write all 12 floats.
using TexCoords = std::array<float, 12>;

// The window s in [0, sExtent], t in [0, tExtent], upright.
void GenTexCoord(float sExtent, float tExtent, TexCoords& out);

// The whole window s in [0, sMax], t in [0, tMax] turned by `rotation`
// degrees (90, 180, 270; any other value draws upright).
void GenRotatedTexCoord(float sMax, float tMax, int rotation, TexCoords& out);

// A window given along the screen axes: [hOffset, hOffset + hExtent]
// horizontally and [vOffset, vOffset + vExtent] vertically, turned by
// `rotation` degrees as above.
void GenCroppedTexCoord(float hOffset, float vOffset, float hExtent, float vExtent, int rotation, TexCoords& out);

}  // namespace TALLWICK_PP_RENDER
