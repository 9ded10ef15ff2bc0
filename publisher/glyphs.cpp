#include "publisher/glyphs.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "publisher/pattern.h"

namespace tallwick::publisher {

namespace {

using Rows = std::array<uint8_t, kGlyphRows>;  // bit 4 is the leftmost cell

struct Glyph {
  char character;
  Rows rows;
};

// clang-format off
constexpr std::array<Glyph, 40> kGlyphs = {{
    {'A', {0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'B', {0b11110, 0b10001, 0b10001, 0b11110, 0b10001, 0b10001, 0b11110}},
    {'C', {0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110}},
    {'D', {0b11110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b11110}},
    {'E', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111}},
    {'F', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'G', {0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111}},
    {'H', {0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'I', {0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'J', {0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100}},
    {'K', {0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001}},
    {'L', {0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111}},
    {'M', {0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001}},
    {'N', {0b10001, 0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001}},
    {'O', {0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'P', {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'Q', {0b01110, 0b10001, 0b10001, 0b10001, 0b10101, 0b10010, 0b01101}},
    {'R', {0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001}},
    {'S', {0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110}},
    {'T', {0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100}},
    {'U', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'V', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
    {'W', {0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010}},
    {'X', {0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001}},
    {'Y', {0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100, 0b00100}},
    {'Z', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111}},
    {'0', {0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110}},
    {'1', {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'2', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111}},
    {'3', {0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110}},
    {'4', {0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010}},
    {'5', {0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110}},
    {'6', {0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110}},
    {'7', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000}},
    {'8', {0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110}},
    {'9', {0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100}},
    {'-', {0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000}},
    {'_', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b11111}},
    {'.', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100}},
    {' ', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000}},
}};
constexpr Rows kUnknown = {0b11111, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b11111};
// clang-format on

const Rows& RowsOf(char character) {
  const auto upper = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  const auto* glyph =
      std::find_if(kGlyphs.begin(), kGlyphs.end(), [upper](const Glyph& g) { return g.character == upper; });
  return glyph == kGlyphs.end() ? kUnknown : glyph->rows;
}

bool CellSet(uint8_t bits, int32_t column) {
  return column < kGlyphColumns && ((bits >> (kGlyphColumns - 1 - column)) & 1) != 0;
}

// One rectangle per run of set cells keeps a glyph to a few row fills.
void DrawGlyphRow(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t cell, uint8_t bits,
                  const YuvColour& ink) {
  for (int32_t start = 0; start < kGlyphColumns; ++start) {
    if (!CellSet(bits, start)) continue;
    int32_t end = start;
    while (CellSet(bits, end)) ++end;
    FillRect(writer, x + start * cell, y, (end - start) * cell, cell, ink);
    start = end;
  }
}

void DrawGlyph(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t cell, const Rows& rows,
               const YuvColour& ink) {
  for (size_t row = 0; row < rows.size(); ++row) {
    DrawGlyphRow(writer, x, y + static_cast<int32_t>(row) * cell, cell, rows[row], ink);
  }
}

}  // namespace

TextBox MeasureTextBox(size_t length, int32_t cell) {
  const auto count = static_cast<int32_t>(length);
  return {(count * (kGlyphColumns + 1) + 1) * cell, (kGlyphRows + 2) * cell};
}

int32_t CellForHeight(int32_t frameHeight) { return std::max(1, frameHeight / (kGlyphRows * 8)); }

void DrawTextBox(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t cell, const std::string& text) {
  const TextBox box = MeasureTextBox(text.size(), cell);
  FillRect(writer, x, y, box.width, box.height, RgbToYuv(0, 0, 0));
  const YuvColour ink = RgbToYuv(255, 255, 255);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto left = x + cell + static_cast<int32_t>(i) * (kGlyphColumns + 1) * cell;
    DrawGlyph(writer, left, y + cell, cell, RowsOf(text[i]), ink);
  }
}

}  // namespace tallwick::publisher
