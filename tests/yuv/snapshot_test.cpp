// Pictures of both renderers for people to look at: the colour-bar frame in
// a single-stream element and in a 2 x 2 gallery, written through the host's
// `snapshot` op as PNG files under the build tree.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "devhost/scripted_host.h"
#include "frame/frame_layout.h"
#include "yuv/colour_bar_plugin.h"
#include "yuv/gallery_plugin.h"

namespace {

using devhost_test::Json;

struct PngSize {
  bool read = false;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
};

PngSize ReadPngSize(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  png_image_free(&image);
  return {true, image.width, image.height};
}

// Draws into element `id` with one page message, then writes its snapshot;
// returns the `snapshot` output lines.
std::vector<Json> DrawAndSnapshot(const pphost::EntryPoints& plugin, const std::string& path) {
  devhost_test::ScriptedHost page(devhost_test::VirtualClock(), plugin);
  const auto out =
      page.Execute({R"({"op":"create","id":"e","attrs":[]})", R"({"op":"view","id":"e","rect":[0,0,640,360]})",
                    R"({"op":"message","id":"e","msg":"draw"})", R"({"op":"run","ms":0})",
                    R"({"op":"snapshot","id":"e","png":")" + path + R"("})"});
  EXPECT_TRUE(devhost_test::OfKind(out, "error").empty());
  return devhost_test::OfKind(out, "snapshot");
}

TEST(SnapshotTest, SingleStreamAndGalleryColourBarsAreWrittenAsPng) {
  const std::filesystem::path dir = SNAPSHOT_DIR;
  std::filesystem::create_directories(dir);
  const std::string single = (dir / "single.png").string();
  const std::string gallery = (dir / "gallery.png").string();
  std::filesystem::remove(single);
  std::filesystem::remove(gallery);
  const yuv_test::ColourBarFrame frame = yuv_test::MakeColourBars(1280, 720, 64, tallwick::frame::kFormatI420);

  yuv_test::SetFrame(&frame);
  const auto singleLines = DrawAndSnapshot(yuv_test::ColourBarPluginEntryPoints(), single);
  yuv_test::SetFrame(nullptr);

  // Fit, crop, turned a quarter, mirrored: one tile each.
  yuv_test::GalleryScene scene;
  scene.background = {0.2F, 0.2F, 0.6F, 1.0F};
  const std::array<TALLWICK_PP_RENDER::TileColor, 4> colours = {
      {{1.0F, 0.5F, 0.0F, 1.0F}, {0.0F, 0.5F, 1.0F, 1.0F}, {0.5F, 1.0F, 0.0F, 1.0F}, {1.0F, 0.0F, 0.5F, 1.0F}}};
  scene.tiles = {{yuv_test::GridTile(0, colours[0]), &frame, 0, false},
                 {yuv_test::GridTile(1, colours[1], true), &frame, 0, false},
                 {yuv_test::GridTile(2, colours[2]), &frame, 90, false},
                 {yuv_test::GridTile(3, colours[3]), &frame, 0, false}};
  scene.tiles[3].placement.isMirror = true;
  yuv_test::SetGalleryScene(&scene);
  const auto galleryLines = DrawAndSnapshot(yuv_test::GalleryPluginEntryPoints(), gallery);
  yuv_test::SetGalleryScene(nullptr);

  for (const auto& [path, lines] : {std::pair{single, singleLines}, std::pair{gallery, galleryLines}}) {
    ASSERT_EQ(lines.size(), 1U) << path;
    EXPECT_EQ(lines[0], (Json{{"kind", "snapshot"}, {"id", "e"}, {"width", 640}, {"height", 360}, {"path", path}}));
    const PngSize size = ReadPngSize(path);
    ASSERT_TRUE(size.read) << path;
    EXPECT_EQ(size.width, 640U) << path;
    EXPECT_EQ(size.height, 360U) << path;
  }
}

}  // namespace
