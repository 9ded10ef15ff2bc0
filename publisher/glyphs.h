#pragma once

#include <cstdint>
#include <string>

#include "writer/frame_writer.h"

namespace tallwick::publisher {

// A 5x7-cell bitmap font for names and frame numbers: A-Z, 0-9, space, '-',
// '_' and '.'. Lower case draws as upper case, anything else as a box, so a
// typo still shows where it is.
inline constexpr int32_t kGlyphColumns = 5;
inline constexpr int32_t kGlyphRows = 7;

// Pixels that text of `length` characters takes on its dark box, at `cell`
// pixels per font cell: one blank cell between letters and around the text.
struct TextBox {
  int32_t width;
  int32_t height;
};
TextBox MeasureTextBox(size_t length, int32_t cell);

// The cell size that makes text about an eighth of a frame this high, large
// enough to read when the frame is shown a quarter of its size.
int32_t CellForHeight(int32_t frameHeight);

// White text on a dark box whose top-left corner is (x, y), so that it reads
// on any picture. Whatever falls outside the frame is clipped.
void DrawTextBox(tallwick::frame::FrameWriter& writer, int32_t x, int32_t y, int32_t cell, const std::string& text);

}  // namespace tallwick::publisher
