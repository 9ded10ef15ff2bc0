#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "writer/frame_writer.h"

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

// A field of one colour with a gentle diagonal gradient and a lighter
// vertical band that moves every frame, with the frame number as the bars
// have it: tells streams apart by colour and shows that each one is live.
std::unique_ptr<FrameSource> MakeMovingTile(uint8_t red, uint8_t green, uint8_t blue);

// One colour everywhere, in BT.601 video range (RgbToYuv).
std::unique_ptr<FrameSource> MakeSolidColour(uint8_t red, uint8_t green, uint8_t blue);

// One colour in Y, U and V (BT.601 video range).
struct YuvColour {
  uint8_t y, u, v;
};

// Flat frames that say which frame they are in every plane: frame `frameId`
// is kFramePalette[(frameId + shift) % kFramePalette.size()] everywhere. The
// entries' Y values lie 18 levels or more apart, their U and V values 14 or
// more, and any mix of an entry's Y with any other entries' U and V still
// converts to RGB inside 3..250 (the module's BT.601 video-range
// conversion), so a picture read back from the screen can be turned into Y,
// U and V again and each plane matched to the frame it came from, even when
// the planes came from different frames.
// Each plane's value changes by two steps or more from one frame to the next.
inline constexpr size_t kFramePaletteSize = 6;
extern const std::array<YuvColour, kFramePaletteSize> kFramePalette;
std::unique_ptr<FrameSource> MakeFramePalette(int32_t shift);

// `source`'s pictures with `text` drawn over the bottom-left corner, about an
// eighth of the frame high (smaller only when a long text would not fit).
std::unique_ptr<FrameSource> MakeLabelled(std::unique_ptr<FrameSource> source, std::string text);

// The source a pattern text names: "bars", "tile:R,G,B", "solid:R,G,B",
// "palette", "palette:SHIFT" or "y4m:PATH". Null with a reason when the text
// or the file is not usable.
std::unique_ptr<FrameSource> MakeSource(const std::string& pattern, const tallwick::frame::FrameGeometry& geometry,
                                        std::string* error);

// The YUV of an RGB colour as the publisher writes it.
YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue);

// Writes one colour over a rectangle of the frame (in luma pixels; the
// chroma planes get the rectangle's half-resolution part).
void FillRect(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height,
              const YuvColour& colour);

// FillRect's chroma half alone, for sources that write their own luma.
void FillChroma(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height,
                const YuvColour& colour);

}  // namespace tallwick::publisher
