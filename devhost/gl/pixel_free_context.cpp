#include "devhost/gl/pixel_free_context.h"

namespace pphost {

std::shared_ptr<Context3D> SwitchingContextMaker::Make(PP_Instance instance, const Context3DAttributes& attributes,
                                                       Context3D* share) {
  if (pixelFree_) return std::make_shared<PixelFreeContext>(instance, attributes);
  if (real_ == nullptr) return nullptr;
  return real_->Make(instance, attributes, dynamic_cast<PixelFreeContext*>(share) != nullptr ? nullptr : share);
}

}  // namespace pphost
