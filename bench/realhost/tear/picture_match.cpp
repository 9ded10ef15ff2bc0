#include "realhost/tear/picture_match.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "yuv/shader_texts.h"

namespace tallwick_tear {

namespace {

// The fragment shaders' conversion, on 0..1 values:
//   R = kYScale Y + kVToR V + kROffset
//   G = kYScale Y - kUToG U - kVToG V + kGOffset
//   B = kYScale Y + kUToB U + kBOffset
constexpr double kYScale = 1.1643828125;
constexpr double kVToR = 1.59602734375;
constexpr double kROffset = -0.87078515625;
constexpr double kUToG = 0.39176171875;
constexpr double kVToG = 0.81296875;
constexpr double kGOffset = 0.52959375;
constexpr double kUToB = 2.017234375;
constexpr double kBOffset = -1.081390625;

// The same terms as the shaders spell them: if the shaders change, the
// inverse above no longer holds and the reader says so instead of
// mismatching.
constexpr const char* kShaderTerms[] = {
    "fY * 1.1643828125",
    "fYmul + 1.59602734375 * fCr - 0.87078515625",
    "fYmul - 0.39176171875 * fCb - 0.81296875 * fCr + 0.52959375",
    "fYmul + 2.017234375   * fCb - 1.081390625",
};

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kForward = {{{kYScale, 0.0, kVToR}, {kYScale, -kUToG, -kVToG}, {kYScale, kUToB, 0.0}}};
constexpr std::array<double, 3> kOffset = {kROffset, kGOffset, kBOffset};

Matrix Inverse(const Matrix& m) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  Matrix inverse{};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      // The cofactor of (column, row), from the 2x2 minor without them.
      const int r0 = (column + 1) % 3;
      const int r1 = (column + 2) % 3;
      const int c0 = (row + 1) % 3;
      const int c1 = (row + 2) % 3;
      inverse[static_cast<size_t>(row)][static_cast<size_t>(column)] =
          (m[static_cast<size_t>(r0)][static_cast<size_t>(c0)] * m[static_cast<size_t>(r1)][static_cast<size_t>(c1)] -
           m[static_cast<size_t>(r0)][static_cast<size_t>(c1)] * m[static_cast<size_t>(r1)][static_cast<size_t>(c0)]) /
          det;
    }
  }
  return inverse;
}

const Matrix& Backward() {
  static const Matrix kBackward = Inverse(kForward);
  return kBackward;
}

double Plane(const Yuv& yuv, int plane) { return plane == 0 ? yuv.y : plane == 1 ? yuv.u : yuv.v; }

constexpr const char* kPlaneNames[kPlanes] = {"Y", "U", "V"};

// "Y,U #3, V #4": the planes grouped by the entry they came from ("?": none).
std::string Signature(const std::array<int, kPlanes>& entry, const char* from) {
  std::map<int, std::string> planes;
  std::vector<int> order;
  for (int plane = 0; plane < kPlanes; ++plane) {
    const int e = entry[static_cast<size_t>(plane)];
    if (planes.count(e) == 0) order.push_back(e);
    std::string& names = planes[e];
    names += (names.empty() ? "" : ",") + std::string(kPlaneNames[plane]);
  }
  std::string text;
  for (const int e : order) {
    if (!text.empty()) text += ", ";
    text += planes[e] + " " + (e == kUnmatched ? std::string("?") : from + ("#" + std::to_string(e)));
  }
  return text;
}

// Black behind the pictures reads back as 0; every palette colour has a
// channel above 90.
constexpr int kBackgroundMax = 24;

// Of the pixels on the edges of `ring` that lie in the image: how many there
// are, and how many are background.
std::pair<int, int> RingPixels(const Image& image, const Rect& ring) {
  int inImage = 0;
  int background = 0;
  const auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    const uint8_t* p = image.rgba.data() + (static_cast<size_t>(y) * static_cast<size_t>(image.width) + x) * 4;
    ++inImage;
    if (std::max({p[0], p[1], p[2]}) <= kBackgroundMax) ++background;
  };
  const int right = ring.x + ring.width - 1;
  const int bottom = ring.y + ring.height - 1;
  for (int x = ring.x; x <= right; ++x) {
    visit(x, ring.y);
    visit(x, bottom);
  }
  for (int y = ring.y + 1; y < bottom; ++y) {
    visit(ring.x, y);
    visit(right, y);
  }
  return {inImage, background};
}

}  // namespace

bool Placed(const Image& image, const Rect& rect, int gap) {
  constexpr double kShare = 0.95;
  constexpr int kInside = 2;
  const auto [inside, insideBackground] =
      RingPixels(image, {rect.x + kInside, rect.y + kInside, rect.width - 2 * kInside, rect.height - 2 * kInside});
  if (inside == 0 || inside - insideBackground < kShare * inside) return false;
  const int out = gap / 2;
  const auto [outside, outsideBackground] =
      RingPixels(image, {rect.x - out, rect.y - out, rect.width + 2 * out, rect.height + 2 * out});
  return out == 0 || outside == 0 || outsideBackground >= kShare * outside;
}

std::array<double, 3> ModuleYuvToRgb(const Yuv& yuv) {
  const std::array<double, 3> in = {yuv.y / 255.0, yuv.u / 255.0, yuv.v / 255.0};
  std::array<double, 3> rgb{};
  for (size_t row = 0; row < 3; ++row) {
    rgb[row] = 255.0 * (kForward[row][0] * in[0] + kForward[row][1] * in[1] + kForward[row][2] * in[2] + kOffset[row]);
  }
  return rgb;
}

Yuv RgbToModuleYuv(const std::array<double, 3>& rgb) {
  std::array<double, 3> centred{};
  for (size_t row = 0; row < 3; ++row) centred[row] = rgb[row] / 255.0 - kOffset[row];
  const Matrix& m = Backward();
  std::array<double, 3> out{};
  for (size_t row = 0; row < 3; ++row) {
    out[row] = 255.0 * (m[row][0] * centred[0] + m[row][1] * centred[1] + m[row][2] * centred[2]);
  }
  return {out[0], out[1], out[2]};
}

std::string CheckShaderCoefficients() {
  std::string missing;
  const std::pair<const char*, const char*> shaders[] = {
      {"the single-stream fragment shader", TALLWICK_PP_RENDER::kFragmentShaderText},
      {"the gallery fragment shader", TALLWICK_PP_RENDER::kGalleryFragmentShaderText},
  };
  for (const auto& [name, text] : shaders) {
    for (const char* term : kShaderTerms) {
      if (std::strstr(text, term) == nullptr) missing += std::string(name) + " has no \"" + term + "\"; ";
    }
  }
  return missing;
}

const char* VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kEmpty:
      return "empty";
    case Verdict::kWhole:
      return "whole";
    case Verdict::kTorn:
      return "torn";
    case Verdict::kUnreadable:
      return "unreadable";
    case Verdict::kMisplaced:
      return "misplaced";
  }
  return "?";
}

PaletteReader::PaletteReader(std::vector<Yuv> palette, double tolerance, double flatness)
    : palette_(std::move(palette)), tolerance_(tolerance), flatness_(flatness) {}

std::string PaletteReader::CheckPalette() const {
  if (palette_.size() < 2) return "the palette has fewer than two entries";
  for (const Yuv& entry : palette_) {
    const Yuv back = RgbToModuleYuv(ModuleYuvToRgb(entry));
    if (std::abs(back.y - entry.y) + std::abs(back.u - entry.u) + std::abs(back.v - entry.v) > 1e-6) {
      return "the inverse conversion does not give the palette's colours back";
    }
  }
  for (int plane = 0; plane < kPlanes; ++plane) {
    for (size_t a = 0; a < palette_.size(); ++a) {
      for (size_t b = a + 1; b < palette_.size(); ++b) {
        const double apart = std::abs(Plane(palette_[a], plane) - Plane(palette_[b], plane));
        if (apart < 2 * tolerance_ + 1) {
          return std::string(kPlaneNames[plane]) + " of entries " + std::to_string(a) + " and " + std::to_string(b) +
                 " lie " + std::to_string(apart) + " apart, too close for a tolerance of " + std::to_string(tolerance_);
        }
      }
    }
  }
  for (const Yuv& y : palette_) {
    for (const Yuv& u : palette_) {
      for (const Yuv& v : palette_) {
        for (const double channel : ModuleYuvToRgb({y.y, u.u, v.v})) {
          if (channel < 0.5 || channel > 254.5) {
            return "Y " + std::to_string(y.y) + " with U " + std::to_string(u.u) + " and V " + std::to_string(v.v) +
                   " leaves the RGB range";
          }
        }
      }
    }
  }
  return {};
}

PaletteReader::RowReading PaletteReader::ReadRow(const uint8_t* pixels, int count) const {
  RowReading reading;
  std::array<double, 3> mean{};
  for (int x = 0; x < count; ++x) {
    for (size_t c = 0; c < 3; ++c) mean[c] += pixels[4 * x + static_cast<int>(c)];
  }
  for (double& channel : mean) channel /= count;
  for (int x = 0; x < count; ++x) {
    for (size_t c = 0; c < 3; ++c) {
      if (std::abs(pixels[4 * x + static_cast<int>(c)] - mean[c]) > flatness_) return reading;  // not one colour
    }
  }
  const Yuv yuv = RgbToModuleYuv(mean);
  for (int plane = 0; plane < kPlanes; ++plane) {
    double best = tolerance_;
    for (size_t e = 0; e < palette_.size(); ++e) {
      const double distance = std::abs(Plane(yuv, plane) - Plane(palette_[e], plane));
      if (distance <= best) {
        best = distance;
        reading.entry[static_cast<size_t>(plane)] = static_cast<int>(e);
        reading.distance[static_cast<size_t>(plane)] = distance;
      }
    }
  }
  return reading;
}

std::string PaletteReader::Describe(const std::vector<RowReading>& rows) {
  struct Run {
    std::array<int, kPlanes> entry;
    size_t first, last;
  };
  std::vector<Run> runs;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (!runs.empty() && runs.back().entry == rows[row].entry) {
      runs.back().last = row;
    } else {
      runs.push_back({rows[row].entry, row, row});
    }
  }
  if (runs.size() == 1) return Signature(runs[0].entry, "from ");
  constexpr size_t kRunsShown = 6;
  std::string text;
  for (size_t i = 0; i < runs.size() && i < kRunsShown; ++i) {
    if (!text.empty()) text += "; ";
    text += "rows " + std::to_string(runs[i].first) + "-" + std::to_string(runs[i].last) + " " +
            Signature(runs[i].entry, "");
  }
  if (runs.size() > kRunsShown) text += "; ... (" + std::to_string(runs.size() - kRunsShown) + " more runs)";
  return text;
}

RegionReading PaletteReader::Read(const Image& image, const Rect& rect) const {
  RegionReading reading;
  const int x0 = std::clamp(rect.x, 0, image.width);
  const int x1 = std::clamp(rect.x + rect.width, 0, image.width);
  const int y0 = std::clamp(rect.y, 0, image.height);
  const int y1 = std::clamp(rect.y + rect.height, 0, image.height);
  if (x0 >= x1 || y0 >= y1) return reading;
  std::vector<RowReading> rows;
  std::set<int> entries;
  for (int y = y0; y < y1; ++y) {
    const uint8_t* pixels = image.rgba.data() + (static_cast<size_t>(y) * static_cast<size_t>(image.width) + x0) * 4;
    rows.push_back(ReadRow(pixels, x1 - x0));
    const RowReading& row = rows.back();
    if (!row.Matched()) continue;
    ++reading.matchedRows;
    for (size_t plane = 0; plane < kPlanes; ++plane) {
      entries.insert(row.entry[plane]);
      reading.largestDistance[plane] = std::max(reading.largestDistance[plane], row.distance[plane]);
    }
  }
  reading.rows = static_cast<int>(rows.size());
  if (reading.matchedRows == 0) return reading;
  if (entries.size() > 1) {
    reading.verdict = Verdict::kTorn;
  } else {
    reading.entry = *entries.begin();
    reading.verdict = reading.matchedRows == reading.rows ? Verdict::kWhole : Verdict::kUnreadable;
  }
  if (reading.verdict != Verdict::kWhole) reading.description = Describe(rows);
  return reading;
}

}  // namespace tallwick_tear
