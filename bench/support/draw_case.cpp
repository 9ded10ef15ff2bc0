#include "support/draw_case.h"

#include "publisher/pattern.h"

namespace tallwick_bench {

namespace {

constexpr int32_t kFormatI420 = tallwick::frame::kFormatI420;

}  // namespace

DrawCase Draw1080pTo720p() {
  DrawCase drawCase{"1080p to 1280x720", tallwick::frame::MakeGeometry(1920, 1080, kFormatI420), 1280, 720};
  drawCase.geometry.planS0 = 1984;
  drawCase.geometry.planS1 = 992;
  drawCase.geometry.planS2 = 992;
  return drawCase;
}

DrawCase Draw720pTo360p() {
  return {"720p to 640x360", tallwick::frame::MakeGeometry(1280, 720, kFormatI420), 640, 360};
}

GalleryCase Gallery3x3Of360p() {
  return {"3x3 gallery of 640x360 in 1280x720", tallwick::frame::MakeGeometry(640, 360, kFormatI420), 9, 3, 1280, 720};
}

std::unique_ptr<tallwick::frame::FrameWriter> WritePicture(const std::string& path,
                                                           const tallwick::frame::FrameGeometry& geometry,
                                                           std::string* error) {
  auto writer = std::make_unique<tallwick::frame::FrameWriter>(path, geometry);
  if (writer->Create() != shoom::kOK) {
    *error = "cannot create the segment " + path;
    return nullptr;
  }
  writer->BeginFrame();
  tallwick::publisher::MakeMovingBars()->Fill(*writer, 1);
  writer->EndFrame(1);
  return writer;
}

TALLWICK_PP_RENDER::VideoFrame FrameIn(const tallwick::frame::FrameWriter& writer) {
  const tallwick::frame::FrameGeometry& geometry = writer.Geometry();
  TALLWICK_PP_RENDER::VideoFrame frame;
  frame.width = geometry.width;
  frame.height = geometry.height;
  frame.format = geometry.format;
  frame.planS0 = geometry.planS0;
  frame.planS1 = geometry.planS1;
  frame.planS2 = geometry.planS2;
  frame.plan0 = writer.Plane(0);
  frame.plan1 = writer.Plane(1);
  frame.plan2 = writer.Plane(2);
  return frame;
}

}  // namespace tallwick_bench
