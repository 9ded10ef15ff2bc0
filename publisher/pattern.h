#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/frame_writer.h"

namespace tallwick::publisher {

// Fills the planes of the frame being written.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  virtual void Fill(tallwick::frame::FrameWriter& writer, int32_t frameId) = 0;
};

// Vertical colour bars (BT.601 video range) that move one bar every 15
// frames, with the frame number drawn large in the top-left corner.
std::unique_ptr<FrameSource> MakeMovingBars();

// One colour everywhere, converted from RGB to YUV by libyuv.
std::unique_ptr<FrameSource> MakeSolidColour(uint8_t red, uint8_t green, uint8_t blue);

// The source a pattern text names: "bars", "solid:R,G,B" or "y4m:PATH".
// Null with a reason when the text or the file is not usable.
std::unique_ptr<FrameSource> MakeSource(const std::string& pattern, const tallwick::frame::FrameGeometry& geometry,
                                        std::string* error);

// The YUV of an RGB colour as the publisher writes it.
struct YuvColour {
  uint8_t y, u, v;
};
YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue);

// Writes one colour over a rectangle of the frame (in luma pixels; the
// chroma planes get the rectangle's half-resolution part).
void FillRect(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height,
              const YuvColour& colour);

}  // namespace tallwick::publisher
