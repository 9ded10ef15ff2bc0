#include "support/page_lines.h"

namespace tallwick_bench {

namespace {

using pphost::Json;

constexpr int kRenderExceptionThresholdMs = 2000;

}  // namespace

std::string CreateLine(const std::string& id, const Json& attrs) {
  return Json{{"op", "create"}, {"id", id}, {"attrs", attrs}}.dump();
}

std::string MessageLine(const std::string& id, const std::string& command, const Json& data) {
  return Json{{"op", "message"}, {"id", id}, {"msg", {{"command", command}, {"data", data}}}}.dump();
}

std::string ViewLine(const std::string& id, int width, int height) {
  return Json{{"op", "view"}, {"id", id}, {"rect", {0, 0, width, height}}}.dump();
}

std::string DestroyLine(const std::string& id) { return Json{{"op", "destroy"}, {"id", id}}.dump(); }

Json ControllerAttrs() { return Json::array({Json::array({"data-controller", ""})}); }

Json ElementAttrs(ElementRole role) {
  if (role == ElementRole::kGallery) return Json::array({Json::array({"data-multi", ""})});
  return Json::array();
}

Json SingleStreamInitData(int fps, const PageStream& stream) {
  return {{"fps", fps},
          {"renderExceptionThreshold", kRenderExceptionThresholdMs},
          {"dpr", 1},
          {"uid", stream.uid},
          {"sid", stream.sid}};
}

Json GalleryInitData(int fps, const std::string& uuid) {
  return {{"fps", fps},
          {"renderExceptionThreshold", kRenderExceptionThresholdMs},
          {"dpr", 1},
          {"uuid", uuid},
          {"backgroundColor", {0, 0, 0, 1}}};
}

Json RegistrationData(const std::vector<PageStream>& streams) {
  Json diffs = Json::array();
  for (const PageStream& stream : streams) {
    diffs.push_back({{"path", stream.segmentPath},
                     {"uid", stream.uid},
                     {"sid", stream.sid},
                     {"bufferSize", tallwick::frame::FrameSegmentSize(stream.geometry)},
                     {"bufferNumber", 1},
                     {"isScreen", false},
                     {"isMerge", false},
                     {"frameFormat", stream.geometry.format}});
  }
  return {{"op", 0}, {"diffs", diffs}};
}

Json LayoutData(const std::vector<PageStream>& streams, const std::vector<Rect>& tiles,
                const std::vector<bool>& mirrored) {
  Json items = Json::array();
  for (size_t i = 0; i < streams.size() && i < tiles.size(); ++i) {
    const Rect& tile = tiles[i];
    const Json config = {{"isMirror", i < mirrored.size() && mirrored[i]},
                         {"top", tile.top},
                         {"left", tile.left},
                         {"width", tile.width},
                         {"height", tile.height},
                         {"renderMode", 1},
                         {"backgroundColor", {0, 0, 0, 1}}};
    items.push_back({{"streamId", streams[i].sid},
                     {"userId", streams[i].uid},
                     {"isSelf", false},
                     {"streamType", "CAMERA"},
                     {"renderConfig", config}});
  }
  return {{"renderInfos", items}};
}

}  // namespace tallwick_bench
