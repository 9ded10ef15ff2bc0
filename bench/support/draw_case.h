#pragma once

#include <memory>
#include <string>

#include "frame/video_frame.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// One frame size drawn into one view size: what render_bench measures through
// the module and through the bare program, and what stream_latency publishes.
struct DrawCase {
  std::string name;
  tallwick::frame::FrameGeometry geometry;
  int viewWidth = 0;
  int viewHeight = 0;
};

// `count` streams of one frame size in a gallery of `columns` columns filling
// the view, each picture cropped to fill its tile.
struct GalleryCase {
  std::string name;
  tallwick::frame::FrameGeometry geometry;
  int count = 0;
  int columns = 0;
  int viewWidth = 0;
  int viewHeight = 0;
};

// A 1920x1080 I420 frame with its rows padded beyond the picture (Y 1984
// bytes, U and V 992), into a 1280x720 view.
DrawCase Draw1080pTo720p();
// A 1280x720 I420 frame with tight rows, into a 640x360 view.
DrawCase Draw720pTo360p();
// Nine 640x360 I420 streams (tight rows) in a 3x3 gallery of 1280x720.
GalleryCase Gallery3x3Of360p();

// A segment of `geometry` at `path` holding one moving-bars picture as frame
// 1; null with the reason when the segment cannot be created.
std::unique_ptr<tallwick::frame::FrameWriter> WritePicture(const std::string& path,
                                                           const tallwick::frame::FrameGeometry& geometry,
                                                           std::string* error);

// The writer's frame as the module's parser describes it: geometry and plane
// pointers into the segment.
TALLWICK_PP_RENDER::VideoFrame FrameIn(const tallwick::frame::FrameWriter& writer);

}  // namespace tallwick_bench
