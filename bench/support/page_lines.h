#pragma once

#include <string>
#include <vector>

#include "devhost/json.h"
#include "support/rect.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// One camera stream the page registers with the controller.
struct PageStream {
  std::string uid;
  std::string sid;
  std::string segmentPath;
  tallwick::frame::FrameGeometry geometry;
};

enum class ElementRole { kSingleStream, kGallery };

// Input lines of pphost's page protocol and the data of the page's commands,
// as the benchmark pages send them.
std::string CreateLine(const std::string& id, const pphost::Json& attrs);
std::string MessageLine(const std::string& id, const std::string& command, const pphost::Json& data);
std::string ViewLine(const std::string& id, int width, int height);
std::string DestroyLine(const std::string& id);

// The attributes of a controller element, and of an element of `role`.
pphost::Json ControllerAttrs();
pphost::Json ElementAttrs(ElementRole role);

// "INIT" data: a single-stream element shows `stream`; a gallery is called
// `uuid`. Frames stop counting as arriving after 2000 ms without one.
pphost::Json SingleStreamInitData(int fps, const PageStream& stream);
pphost::Json GalleryInitData(int fps, const std::string& uuid);

// "DO_UPDATE_SHARED_MEMORY" data that adds `streams`' segments.
pphost::Json RegistrationData(const std::vector<PageStream>& streams);

// "UPDATE_MULTI_INFOS" data: stream i in tiles[i] (CSS pixels), cropped to
// fill it (mirrored where `mirrored` says so).
pphost::Json LayoutData(const std::vector<PageStream>& streams, const std::vector<Rect>& tiles,
                        const std::vector<bool>& mirrored = {});

}  // namespace tallwick_bench
