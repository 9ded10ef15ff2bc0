#pragma once

namespace TALLWICK_PP_RENDER {

// GLSL ES texts of the two GPU renderers. Both programs bind "a_position" to
// attribute 3, "a_texCoord" to 4 and "a_texCoordUV" to 5, sample "tex_y",
// "tex_u", "tex_v" on units 0, 1, 2 and take "is_nv12" as an integer. The
// fragment shaders convert video-range BT.601 YUV to RGB.
extern const char* const kVertexShaderText;
extern const char* const kFragmentShaderText;
extern const char* const kGalleryVertexShaderText;
extern const char* const kGalleryFragmentShaderText;

}  // namespace TALLWICK_PP_RENDER
