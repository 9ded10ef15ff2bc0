#include "devhost/page/image_ops.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "devhost/page/instance_lookup.h"
#include "devhost/page/page_compose.h"
#include "devhost/page/png_file.h"
#include "devhost/page/script_fields.h"

namespace pphost {

namespace {

constexpr int64_t kMaxPageSide = 8192;

std::string SizeText(const PresentedImage& image) {
  return std::to_string(image.width) + "x" + std::to_string(image.height);
}

std::vector<int> PixelAt(const PresentedImage& image, const Json& point) {
  if (!point.is_array() || point.size() != 2) throw ScriptError("each point must be [x, y], not " + DumpLine(point));
  const int64_t x = AsInt64(point[0], "points");
  const int64_t y = AsInt64(point[1], "points");
  if (!image.Contains(x, y)) {
    throw ScriptError("point " + DumpLine(point) + " is outside the " + SizeText(image) + " image");
  }
  const uint8_t* rgba = image.At(static_cast<int32_t>(x), static_cast<int32_t>(y));
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

// `background`: [r, g, b], each 0 to 255; black when absent.
Rgb ReadBackground(const Json& line) {
  const Json* colour = OptionalField(line, "background");
  if (colour == nullptr) return Rgb{};
  if (!colour->is_array() || colour->size() != 3) throw ScriptError("field \"background\" must be [r, g, b]");
  uint8_t channels[3] = {};
  for (size_t i = 0; i < 3; ++i) {
    const int64_t value = AsInt64((*colour)[i], "background");
    if (value < 0 || value > 255) throw ScriptError("field \"background\" must hold values from 0 to 255");
    channels[i] = static_cast<uint8_t>(value);
  }
  return Rgb{channels[0], channels[1], channels[2]};
}

// The instances the page shows, in creation order: each visible one with a
// view and a presented image.
struct PageLayers {
  std::vector<PageLayer> layers;
  std::vector<Json> ids;
};

PageLayers ShownInstances(InstanceTable& instances) {
  PageLayers shown;
  for (const PP_Instance instance : instances.InCreationOrder()) {
    const InstanceRecord& record = *instances.Find(instance);
    if (!record.view || !record.view->visible || record.presented.Empty()) continue;
    shown.layers.push_back(PageLayer{&record.presented.Image(), record.view->rect});
    shown.ids.push_back(record.pageId);
  }
  return shown;
}

PageSize CheckedCanvas(const std::vector<PageLayer>& layers) {
  const PageSize canvas = PageCanvas(layers);
  if (canvas.Empty()) throw ScriptError("no visible instance has both a view and a presented image");
  if (canvas.width > kMaxPageSide || canvas.height > kMaxPageSide) {
    throw ScriptError("the page would be " + std::to_string(canvas.width) + "x" + std::to_string(canvas.height) +
                      " pixels, more than " + std::to_string(kMaxPageSide) + " a side");
  }
  return canvas;
}

}  // namespace

// The instance named by the line, once it has presented a picture.
const InstanceRecord& ImageOps::Presenting(const Json& line) {
  const InstanceRecord& record = RequiredInstance(browser_.instances, line);
  const std::string id = DumpLine(record.pageId);
  if (record.presentCount == 0) throw ScriptError(id + " has presented no image yet");
  if (record.presented.Empty()) throw ScriptError(id + " presented an empty image");
  return record;
}

void ImageOps::Snapshot(const Json& line) {
  const std::string path = AsString(RequiredField(line, "png"), "png");
  const InstanceRecord& record = Presenting(line);
  const std::string failure = WritePng(path, record.presented.Image());
  if (!failure.empty()) throw ScriptError(failure);
  browser_.output.Snapshot(record.pageId, record.presented.Width(), record.presented.Height(), path);
}

void ImageOps::Pixels(const Json& line) {
  const Json& points = RequiredField(line, "points");
  if (!points.is_array()) throw ScriptError("field \"points\" must be a list of [x, y]");
  const InstanceRecord& record = Presenting(line);
  std::vector<std::vector<int>> values;
  values.reserve(points.size());
  for (const Json& point : points) values.push_back(PixelAt(record.presented.Image(), point));
  browser_.output.Pixels(record.pageId, values);
}

// Composes what the page shows and writes it; `ids` names the instances
// that put a pixel on it, bottom first.
void ImageOps::Page(const Json& line) {
  const std::string path = AsString(RequiredField(line, "png"), "png");
  const Rgb background = ReadBackground(line);
  const PageLayers shown = ShownInstances(browser_.instances);
  const PageComposition page = ComposePage(shown.layers, CheckedCanvas(shown.layers), background);
  const std::string failure = WritePng(path, page.picture);
  if (!failure.empty()) throw ScriptError(failure);
  std::vector<Json> ids;
  for (const size_t index : page.drawn) ids.push_back(shown.ids[index]);
  browser_.output.Page(page.picture.width, page.picture.height, path, ids);
}

}  // namespace pphost
