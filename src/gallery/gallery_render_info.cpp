#include "gallery/gallery_render_info.h"

#include <fmt/format.h>

namespace TALLWICK_PP_RENDER {

std::string GalleryRenderInfo::Describe() const {
  return fmt::format("GalleryRenderInfo {{ sid:{}, uid:{}, index:{}, normal read frameCnt:{} }}", sid, uid, index,
                     reader.ReadCount());
}

std::string DescribeRenderInfos(const GalleryRenderInfos& infos) {
  std::string text = "[ ";
  for (const auto& [key, info] : infos) text += "{ key: " + key + ", value: " + info.Describe() + " }, ";
  return text + "]";
}

}  // namespace TALLWICK_PP_RENDER
