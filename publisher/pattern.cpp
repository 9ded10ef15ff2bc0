#include "publisher/pattern.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "publisher/glyphs.h"
#include "publisher/y4m_reader.h"

namespace tallwick::publisher {

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;

// White, yellow, cyan, green, magenta, red, blue, black.
constexpr std::array<std::array<uint8_t, 3>, 8> kBarsRgb = {{{235, 235, 235},
                                                             {235, 235, 16},
                                                             {16, 235, 235},
                                                             {16, 235, 16},
                                                             {235, 16, 235},
                                                             {235, 16, 16},
                                                             {16, 16, 235},
                                                             {16, 16, 16}}};

void DrawCounter(FrameWriter& writer, int32_t frameId) {
  DrawTextBox(writer, 0, 0, CellForHeight(writer.Geometry().height), std::to_string(frameId));
}

class MovingBars : public FrameSource {
 public:
  void Fill(FrameWriter& writer, int32_t frameId) override {
    const FrameGeometry& g = writer.Geometry();
    const int32_t shift = (frameId / 15) % static_cast<int32_t>(kBarsRgb.size());
    const auto bars = static_cast<int32_t>(kBarsRgb.size());
    for (int32_t bar = 0; bar < bars; ++bar) {
      const auto& rgb = kBarsRgb[static_cast<size_t>((bar + shift) % bars)];
      // Even edges keep every bar aligned with the chroma samples.
      const int32_t x0 = (g.width * bar / bars) & ~1;
      const int32_t x1 = bar + 1 == bars ? g.width : (g.width * (bar + 1) / bars) & ~1;
      FillRect(writer, x0, 0, x1 - x0, g.height, RgbToYuv(rgb[0], rgb[1], rgb[2]));
    }
    DrawCounter(writer, frameId);
  }
};

// Luma levels the tile's gradient goes either side of its colour.
constexpr int32_t kTileSwing = 12;

uint8_t Lighter(uint8_t channel) { return static_cast<uint8_t>(channel + (255 - channel) * 2 / 5); }

class MovingTile : public FrameSource {
 public:
  MovingTile(uint8_t red, uint8_t green, uint8_t blue)
      : colour_(RgbToYuv(red, green, blue)), band_(RgbToYuv(Lighter(red), Lighter(green), Lighter(blue))) {}

  void Fill(FrameWriter& writer, int32_t frameId) override {
    const FrameGeometry& g = writer.Geometry();
    if (writer.Plane(0) == nullptr) return;
    FillChroma(writer, 0, 0, g.width, g.height, colour_);
    // The gradient runs along x + y, so each row is the ramp from its own
    // row number on: one copy per row instead of per-pixel arithmetic.
    const std::vector<uint8_t>& ramp = Ramp(g.width + g.height);
    for (int32_t row = 0; row < g.height; ++row) {
      std::memcpy(writer.Row(0, row), ramp.data() + row, static_cast<size_t>(g.width));
    }
    DrawBand(writer, frameId);
    DrawCounter(writer, frameId);
  }

 private:
  const std::vector<uint8_t>& Ramp(int32_t length) {
    if (ramp_.size() == static_cast<size_t>(length)) return ramp_;
    ramp_.resize(static_cast<size_t>(length));
    for (int32_t d = 0; d < length; ++d) {
      const int32_t offset = kTileSwing - 2 * kTileSwing * d / std::max(1, length - 1);
      ramp_[static_cast<size_t>(d)] = static_cast<uint8_t>(std::clamp(colour_.y + offset, 16, 235));
    }
    return ramp_;
  }

  // Crosses the frame in about 100 frames and wraps around, so it is always
  // in view and never in the same place in two frames running.
  void DrawBand(FrameWriter& writer, int32_t frameId) const {
    const FrameGeometry& g = writer.Geometry();
    const int32_t width = std::max(2, (g.width / 8) & ~1);
    const int32_t step = std::max(2, (g.width / 100) & ~1);
    const auto x = static_cast<int32_t>(int64_t{frameId} * step % g.width);
    FillRect(writer, x, 0, width, g.height, band_);
    FillRect(writer, x - g.width, 0, width, g.height, band_);
  }

  YuvColour colour_;
  YuvColour band_;
  std::vector<uint8_t> ramp_;
};

class SolidColour : public FrameSource {
 public:
  explicit SolidColour(const YuvColour& colour) : colour_(colour) {}
  void Fill(FrameWriter& writer, int32_t /*frameId*/) override {
    const FrameGeometry& g = writer.Geometry();
    FillRect(writer, 0, 0, g.width, g.height, colour_);
  }

 private:
  YuvColour colour_;
};

// Cycles through kFramePalette, one entry a frame.
class FramePalette : public FrameSource {
 public:
  explicit FramePalette(int32_t shift) : shift_(shift) {}
  void Fill(FrameWriter& writer, int32_t frameId) override {
    const FrameGeometry& g = writer.Geometry();
    const auto size = static_cast<int64_t>(kFramePalette.size());
    const auto entry = static_cast<size_t>(((int64_t{frameId} + shift_) % size + size) % size);
    FillRect(writer, 0, 0, g.width, g.height, kFramePalette[entry]);
  }

 private:
  int32_t shift_;
};

class Labelled : public FrameSource {
 public:
  Labelled(std::unique_ptr<FrameSource> source, std::string text)
      : source_(std::move(source)), text_(std::move(text)) {}

  void Fill(FrameWriter& writer, int32_t frameId) override {
    source_->Fill(writer, frameId);
    const FrameGeometry& g = writer.Geometry();
    // Two blank cells of margin on each side must fit beside the box.
    const int32_t fitting = g.width / (MeasureTextBox(text_.size(), 1).width + 4);
    const int32_t cell = std::max(1, std::min(CellForHeight(g.height), fitting));
    const TextBox box = MeasureTextBox(text_.size(), cell);
    DrawTextBox(writer, 2 * cell, g.height - 2 * cell - box.height, cell, text_);
  }

 private:
  std::unique_ptr<FrameSource> source_;
  std::string text_;
};

bool ParseRgb(const std::string& text, uint8_t rgb[3]) {
  int r = -1;
  int g = -1;
  int b = -1;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%d,%d,%d%c", &r, &g, &b, &extra) != 3) return false;
  for (int value : {r, g, b}) {
    if (value < 0 || value > 255) return false;
  }
  rgb[0] = static_cast<uint8_t>(r);
  rgb[1] = static_cast<uint8_t>(g);
  rgb[2] = static_cast<uint8_t>(b);
  return true;
}

using ColourSourceMaker = std::unique_ptr<FrameSource> (*)(uint8_t, uint8_t, uint8_t);

// "tile:R,G,B" and "solid:R,G,B": the colour after the `prefix`.
std::unique_ptr<FrameSource> MakeColourSource(const std::string& pattern, const std::string& prefix,
                                              ColourSourceMaker make, std::string* error) {
  uint8_t rgb[3];
  if (!ParseRgb(pattern.substr(prefix.size()), rgb)) {
    *error = "colour must read " + prefix + "R,G,B with values 0..255, not \"" + pattern + "\"";
    return nullptr;
  }
  return make(rgb[0], rgb[1], rgb[2]);
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// "palette" or "palette:SHIFT", SHIFT 0 .. kFramePaletteSize - 1.
std::unique_ptr<FrameSource> MakePaletteSource(const std::string& pattern, std::string* error) {
  if (pattern == "palette") return MakeFramePalette(0);
  int shift = -1;
  char extra = 0;
  if (std::sscanf(pattern.c_str(), "palette:%d%c", &shift, &extra) != 1 || shift < 0 ||
      shift >= static_cast<int>(kFramePaletteSize)) {
    *error = "want palette or palette:SHIFT with SHIFT 0.." + std::to_string(kFramePaletteSize - 1) + ", not \"" +
             pattern + "\"";
    return nullptr;
  }
  return MakeFramePalette(shift);
}

}  // namespace

// Values on three evenly spaced ladders (Y 65 + 18 k, U 101 + 14 k, V 94 +
// 14 k, k = 0..5), each ladder walked in an order that steps two rungs or
// more per frame, wrap-around included: Y 0 3 1 4 2 5, U 4 1 5 3 0 2,
// V 3 5 1 4 2 0. The ladders are as wide as they can be while every one of
// their 216 combinations stays inside the RGB range.
const std::array<YuvColour, kFramePaletteSize> kFramePalette = {
    {{65, 157, 136}, {119, 115, 164}, {83, 171, 108}, {137, 143, 150}, {101, 101, 122}, {155, 129, 94}}};

// BT.601 video range in integer arithmetic, rounded as libyuv rounds a block
// of one colour (a test holds it to libyuv's answers).
YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue) {
  const int r = red;
  const int g = green;
  const int b = blue;
  return {static_cast<uint8_t>((66 * r + 129 * g + 25 * b + 0x1080) >> 8),
          static_cast<uint8_t>((112 * b - 74 * g - 38 * r + 0x8000) >> 8),
          static_cast<uint8_t>((112 * r - 94 * g - 18 * b + 0x8000) >> 8)};
}

void FillRect(FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height, const YuvColour& colour) {
  const FrameGeometry& g = writer.Geometry();
  const int32_t x0 = std::clamp(x, 0, g.width);
  const int32_t y0 = std::clamp(y, 0, g.height);
  const int32_t x1 = std::clamp(x + width, 0, g.width);
  const int32_t y1 = std::clamp(y + height, 0, g.height);
  if (writer.Plane(0) == nullptr || x0 >= x1 || y0 >= y1) return;
  for (int32_t row = y0; row < y1; ++row) std::fill_n(writer.Row(0, row) + x0, x1 - x0, colour.y);
  FillChroma(writer, x0, y0, x1 - x0, y1 - y0, colour);
}

void FillChroma(FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height, const YuvColour& colour) {
  const FrameGeometry& g = writer.Geometry();
  const int32_t x0 = std::clamp(x, 0, g.width) / 2;
  const int32_t x1 = (std::clamp(x + width, 0, g.width) + 1) / 2;
  const int32_t y0 = std::clamp(y, 0, g.height) / 2;
  const int32_t y1 = std::min((std::clamp(y + height, 0, g.height) + 1) / 2, g.height / 2);
  if (writer.Plane(0) == nullptr || x0 >= x1) return;
  const bool nv12 = g.format == tallwick::frame::kFormatNV12;
  for (int32_t row = y0; row < y1; ++row) {
    if (!nv12) {
      std::fill_n(writer.Row(1, row) + x0, x1 - x0, colour.u);
      std::fill_n(writer.Row(2, row) + x0, x1 - x0, colour.v);
      continue;
    }
    uint8_t* pairs = writer.Row(1, row);
    for (auto cx = static_cast<size_t>(x0); cx < static_cast<size_t>(x1); ++cx) {
      pairs[2 * cx] = colour.u;
      pairs[2 * cx + 1] = colour.v;
    }
  }
}

std::unique_ptr<FrameSource> MakeMovingBars() { return std::make_unique<MovingBars>(); }

std::unique_ptr<FrameSource> MakeSolidColour(uint8_t red, uint8_t green, uint8_t blue) {
  return std::make_unique<SolidColour>(RgbToYuv(red, green, blue));
}

std::unique_ptr<FrameSource> MakeMovingTile(uint8_t red, uint8_t green, uint8_t blue) {
  return std::make_unique<MovingTile>(red, green, blue);
}

std::unique_ptr<FrameSource> MakeFramePalette(int32_t shift) { return std::make_unique<FramePalette>(shift); }

std::unique_ptr<FrameSource> MakeLabelled(std::unique_ptr<FrameSource> source, std::string text) {
  return std::make_unique<Labelled>(std::move(source), std::move(text));
}

std::unique_ptr<FrameSource> MakeSource(const std::string& pattern, const FrameGeometry& geometry, std::string* error) {
  if (pattern == "bars") return MakeMovingBars();
  if (StartsWith(pattern, "tile:")) return MakeColourSource(pattern, "tile:", MakeMovingTile, error);
  if (StartsWith(pattern, "solid:")) return MakeColourSource(pattern, "solid:", MakeSolidColour, error);
  if (pattern == "palette" || StartsWith(pattern, "palette:")) return MakePaletteSource(pattern, error);
  if (StartsWith(pattern, "y4m:")) return MakeY4mSource(pattern.substr(4), geometry, error);
  *error = "unknown pattern \"" + pattern + "\" (bars, tile:R,G,B, solid:R,G,B, palette[:SHIFT] or y4m:PATH)";
  return nullptr;
}

}  // namespace tallwick::publisher
