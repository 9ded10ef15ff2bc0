#include "devhost/image_ops.h"

#include <string>
#include <vector>

#include "devhost/png_file.h"
#include "devhost/script_fields.h"

namespace pphost {

namespace {

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

}  // namespace

// The instance named by the line, once it has presented a picture.
const InstanceRecord& ImageOps::Presenting(const Json& line) {
  const Json& id = RequiredId(line);
  const InstanceRecord* record = browser_.instances.FindByPageId(id);
  if (record == nullptr) throw ScriptError("unknown id " + DumpLine(id));
  if (record->presentCount == 0) throw ScriptError(DumpLine(id) + " has presented no image yet");
  if (record->presented.Empty()) throw ScriptError(DumpLine(id) + " presented an empty image");
  return *record;
}

void ImageOps::Snapshot(const Json& line) {
  const std::string path = AsString(RequiredField(line, "png"), "png");
  const InstanceRecord& record = Presenting(line);
  const std::string failure = WritePng(path, record.presented);
  if (!failure.empty()) throw ScriptError(failure);
  browser_.output.Snapshot(record.pageId, record.presented.width, record.presented.height, path);
}

void ImageOps::Pixels(const Json& line) {
  const Json& points = RequiredField(line, "points");
  if (!points.is_array()) throw ScriptError("field \"points\" must be a list of [x, y]");
  const InstanceRecord& record = Presenting(line);
  std::vector<std::vector<int>> values;
  values.reserve(points.size());
  for (const Json& point : points) values.push_back(PixelAt(record.presented, point));
  browser_.output.Pixels(record.pageId, values);
}

}  // namespace pphost
