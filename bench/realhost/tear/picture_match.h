#pragma once

// Reads a picture of flat palette frames (frame-publisher's "palette"
// pattern) back from the screen: every row of a region is turned back into
// Y, U and V with the inverse of the module's conversion, and each plane is
// matched to the palette entry (so the frame) it came from.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tallwick_tear {

// 8-bit RGBA, rows from the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// One colour in Y, U and V on the 0..255 scale of the planes' bytes.
struct Yuv {
  double y = 0;
  double u = 0;
  double v = 0;
};

// The module's conversion (its fragment shaders: BT.601 video range), and
// its exact inverse. RGB on the 0..255 scale, unclamped.
std::array<double, 3> ModuleYuvToRgb(const Yuv& yuv);
Yuv RgbToModuleYuv(const std::array<double, 3>& rgb);

// Empty when both fragment shaders of the module still hold the
// coefficients the inverse is made from; otherwise what is missing.
std::string CheckShaderCoefficients();

// Whether `rect` sits in `image` where the layout put it: the ring of
// pixels 2 px inside its edges is drawn (not background) and the ring `gap`
// / 2 px outside it, where that lies in the image, is background (black).
// A host that shows a picture drawn into a buffer of an older size,
// stretched to its element, while a resize is on its way, fails this; its
// regions would read other tiles' pixels.
bool Placed(const Image& image, const Rect& rect, int gap);

constexpr int kPlanes = 3;  // Y, U, V
constexpr int kUnmatched = -1;

// A region as read back.
enum class Verdict {
  kEmpty,       // no row matches the palette: nothing drawn there (background)
  kWhole,       // every row and every plane from the same entry
  kTorn,        // rows or planes from more than one entry
  kUnreadable,  // one entry where rows match, but some rows match nothing
  kMisplaced,   // not where the layout put it (Placed), so not read
};
const char* VerdictName(Verdict verdict);

struct RegionReading {
  Verdict verdict = Verdict::kEmpty;
  int entry = kUnmatched;  // for kWhole and kUnreadable
  int rows = 0;
  int matchedRows = 0;
  // Largest distance of a matched plane value from its palette value, per
  // plane (Y, U, V): what the way back through the screen costs.
  std::array<double, kPlanes> largestDistance{};
  // For kTorn and kUnreadable: which entry each plane came from, by rows,
  // e.g. "Y,U from #3, V from #4" or "rows 0-131 Y,U,V #3; rows 132-353 Y,U,V #4".
  std::string description;
};

class PaletteReader {
 public:
  // `palette`: the entries' Y, U, V. `tolerance`: how far (plane levels) a
  // value read back may lie from its entry's. `flatness`: how far (RGB
  // levels) a pixel may lie from its row's mean for the row to count as one
  // colour.
  PaletteReader(std::vector<Yuv> palette, double tolerance, double flatness);

  // Empty when the palette can be read back: per plane, entries at least
  // 2 x tolerance + 1 apart, and every mix of one entry's Y with any
  // entries' U and V inside the RGB range (so that a picture whose planes
  // came from different frames converts without clipping). Otherwise why not.
  std::string CheckPalette() const;

  // Reads `rect` of `image` (clipped to it).
  RegionReading Read(const Image& image, const Rect& rect) const;

 private:
  struct RowReading {
    std::array<int, kPlanes> entry{kUnmatched, kUnmatched, kUnmatched};
    std::array<double, kPlanes> distance{};
    bool Matched() const { return entry[0] != kUnmatched && entry[1] != kUnmatched && entry[2] != kUnmatched; }
  };

  RowReading ReadRow(const uint8_t* pixels, int count) const;
  static std::string Describe(const std::vector<RowReading>& rows);

  std::vector<Yuv> palette_;
  double tolerance_;
  double flatness_;
};

}  // namespace tallwick_tear
