#include "devhost/gl/context_3d.h"

#include "host/ppapi/pp_types.h"

namespace pphost {

int32_t Context3D::Resize(int32_t width, int32_t height) {
  if (Lost()) return PP_ERROR_CONTEXT_LOST;
  if (width < 0 || height < 0 || width > kMaxDrawingBufferSide || height > kMaxDrawingBufferSide) {
    return PP_ERROR_BADARGUMENT;
  }
  if (!MakeCurrent()) return PP_ERROR_CONTEXT_LOST;
  if (!ResizeBuffer(width, height)) return PP_ERROR_NOMEMORY;
  attributes_.width = width;
  attributes_.height = height;
  return PP_OK;
}

}  // namespace pphost
