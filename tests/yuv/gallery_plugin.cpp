#include "yuv/gallery_plugin.h"

#include <memory>

#include "host/instance.h"
#include "yuv/instance_plugin.h"
#include "yuv/yuv_3d_gallery_render.h"

namespace yuv_test {

namespace {

using TALLWICK_PP_RENDER::GalleryDrawItem;

const GalleryScene* g_scene = nullptr;

class GalleryInstance : public pp::Instance {
 public:
  explicit GalleryInstance(PP_Instance handle) : pp::Instance(handle), render_(this, 1.0) { render_.SetSid("gallery"); }

  using pp::Instance::DidChangeView;
  void DidChangeView(const pp::View& view) override {
    viewWidth_ = view.GetRect().size.width;
    viewHeight_ = view.GetRect().size.height;
    render_.HandleChangeView(view, false, true);
  }

  void HandleMessage(const pp::Var& /*message*/) override {
    if (g_scene == nullptr) return;
    // The renderer is set up once, as START_RENDER does before painting.
    if (!ready_) {
      if (render_.InitYUVRender(g_scene->background, viewWidth_, viewHeight_, false, true) != 0) return;
      ready_ = true;
    }
    render_.DrawItems(g_scene->needClear, Items(*g_scene), pp::CompletionCallback());
  }

 private:
  std::vector<GalleryDrawItem> Items(const GalleryScene& scene) const {
    std::vector<GalleryDrawItem> items;
    for (const GalleryTile& tile : scene.tiles) {
      TALLWICK_PP_RENDER::VideoFrame frame = ToVideoFrame(*tile.frame);
      frame.rotation = tile.rotation;
      frame.flip = tile.flip;
      items.push_back(TALLWICK_PP_RENDER::MakeGalleryDrawItem(tile.placement, frame, static_cast<float>(viewWidth_),
                                                              static_cast<float>(viewHeight_)));
    }
    return items;
  }

  TALLWICK_PP_RENDER::YUV3DGalleryRender render_;
  int32_t viewWidth_ = 0;
  int32_t viewHeight_ = 0;
  bool ready_ = false;
};

}  // namespace

TALLWICK_PP_RENDER::TilePlacement GridTile(int index, const TALLWICK_PP_RENDER::TileColor& colour, bool crop) {
  constexpr float kTileWidth = 240;
  constexpr float kTileHeight = 180;
  constexpr float kGridLeft = (kGalleryViewWidth - 2 * kTileWidth) / 2;
  const int column = index % 2;
  const int row = index / 2;
  TALLWICK_PP_RENDER::TilePlacement tile;
  tile.left = kGridLeft + static_cast<float>(column) * kTileWidth;
  tile.top = static_cast<float>(row) * kTileHeight;
  tile.width = kTileWidth;
  tile.height = kTileHeight;
  tile.renderMode = crop ? TALLWICK_PP_RENDER::kRenderModeCrop : 0;
  tile.backgroundColor = colour;
  return tile;
}

pphost::EntryPoints GalleryPluginEntryPoints() { return InstancePluginEntryPoints<GalleryInstance>(); }

void SetGalleryScene(const GalleryScene* scene) { g_scene = scene; }

}  // namespace yuv_test
