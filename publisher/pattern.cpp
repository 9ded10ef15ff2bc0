#include "publisher/pattern.h"

#include <libyuv/convert_from_argb.h>

#include <algorithm>
#include <array>
#include <cstdio>

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

// Segments a..g of a seven-segment digit, as bits.
constexpr std::array<uint8_t, 10> kDigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void DrawDigit(FrameWriter& writer, int32_t x, int32_t y, int32_t size, int digit, const YuvColour& ink) {
  const int32_t t = std::max(2, size / 5);  // stroke thickness
  const uint8_t bits = kDigitSegments[static_cast<size_t>(digit)];
  const int32_t w = size;
  const int32_t h = size * 2;
  if (bits & 0x01) FillRect(writer, x, y, w, t, ink);                      // a
  if (bits & 0x02) FillRect(writer, x + w - t, y, t, h / 2, ink);          // b
  if (bits & 0x04) FillRect(writer, x + w - t, y + h / 2, t, h / 2, ink);  // c
  if (bits & 0x08) FillRect(writer, x, y + h - t, w, t, ink);              // d
  if (bits & 0x10) FillRect(writer, x, y + h / 2, t, h / 2, ink);          // e
  if (bits & 0x20) FillRect(writer, x, y, t, h / 2, ink);                  // f
  if (bits & 0x40) FillRect(writer, x, y + h / 2 - t / 2, w, t, ink);      // g
}

void DrawCounter(FrameWriter& writer, int32_t frameId) {
  const FrameGeometry& g = writer.Geometry();
  const int32_t size = std::max(8, g.height / 16);
  const std::string digits = std::to_string(frameId);
  const auto count = static_cast<int32_t>(digits.size());
  FillRect(writer, 0, 0, size / 2 + count * (size + size / 2), size * 3, RgbToYuv(0, 0, 0));
  for (int32_t i = 0; i < count; ++i) {
    DrawDigit(writer, size / 2 + i * (size + size / 2), size / 2, size, digits[static_cast<size_t>(i)] - '0',
              RgbToYuv(255, 255, 255));
  }
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

}  // namespace

YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue) {
  // A 2x2 block converted by libyuv gives the BT.601 video-range values.
  std::array<uint8_t, 16> argb{};
  for (size_t pixel = 0; pixel < 4; ++pixel) {
    argb[pixel * 4 + 0] = blue;  // libyuv's ARGB is B, G, R, A in memory
    argb[pixel * 4 + 1] = green;
    argb[pixel * 4 + 2] = red;
    argb[pixel * 4 + 3] = 255;
  }
  std::array<uint8_t, 4> y{};
  uint8_t u = 0;
  uint8_t v = 0;
  libyuv::ARGBToI420(argb.data(), 8, y.data(), 2, &u, 1, &v, 1, 2, 2);
  return {y[0], u, v};
}

void FillRect(FrameWriter& writer, int32_t x, int32_t y, int32_t width, int32_t height, const YuvColour& colour) {
  const FrameGeometry& g = writer.Geometry();
  const int32_t x0 = std::clamp(x, 0, g.width);
  const int32_t y0 = std::clamp(y, 0, g.height);
  const int32_t x1 = std::clamp(x + width, 0, g.width);
  const int32_t y1 = std::clamp(y + height, 0, g.height);
  if (writer.Plane(0) == nullptr || x0 >= x1 || y0 >= y1) return;
  for (int32_t row = y0; row < y1; ++row) std::fill_n(writer.Row(0, row) + x0, x1 - x0, colour.y);
  const bool nv12 = g.format == tallwick::frame::kFormatNV12;
  for (int32_t row = y0 / 2; row < std::min(y1 / 2 + (y1 % 2), g.height / 2); ++row) {
    uint8_t* first = writer.Row(1, row);
    uint8_t* second = writer.Row(2, row);
    for (auto cx = static_cast<size_t>(x0 / 2); cx < static_cast<size_t>((x1 + 1) / 2); ++cx) {
      if (nv12) {
        first[2 * cx] = colour.u;
        first[2 * cx + 1] = colour.v;
      } else {
        first[cx] = colour.u;
        second[cx] = colour.v;
      }
    }
  }
}

std::unique_ptr<FrameSource> MakeMovingBars() { return std::make_unique<MovingBars>(); }

std::unique_ptr<FrameSource> MakeSolidColour(uint8_t red, uint8_t green, uint8_t blue) {
  return std::make_unique<SolidColour>(RgbToYuv(red, green, blue));
}

std::unique_ptr<FrameSource> MakeSource(const std::string& pattern, const FrameGeometry& geometry, std::string* error) {
  if (pattern == "bars") return MakeMovingBars();
  if (pattern.rfind("solid:", 0) == 0) {
    uint8_t rgb[3];
    if (!ParseRgb(pattern.substr(6), rgb)) {
      *error = "solid colour must read solid:R,G,B with values 0..255, not \"" + pattern + "\"";
      return nullptr;
    }
    return MakeSolidColour(rgb[0], rgb[1], rgb[2]);
  }
  if (pattern.rfind("y4m:", 0) == 0) return MakeY4mSource(pattern.substr(4), geometry, error);
  *error = "unknown pattern \"" + pattern + "\" (bars, solid:R,G,B or y4m:PATH)";
  return nullptr;
}

}  // namespace tallwick::publisher
