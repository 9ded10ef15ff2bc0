#pragma once

#include <cstdint>
#include <optional>

#include "devhost/presented_image.h"
#include "support/rect.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// A frame's id drawn into its picture, so that a presented image tells which
// frame it shows: kIdBits blocks along the bottom tenth of the frame, most
// significant first, white for 1 and black for 0. Drawn after the picture,
// over whatever the source put there.
inline constexpr int32_t kIdBits = 16;

void DrawId(tallwick::frame::FrameWriter& writer, int32_t frameId);

// Reads the blocks back at their centres, wherever the frame was scaled to
// `region` (image pixels); no id when any block is neither clearly white nor clearly black
// (or lies outside the image).
std::optional<int32_t> ReadId(const pphost::PresentedImage& image, const Rect& region);

// The one image row ReadId looks at for `region`: reading that row alone
// (as an image of one row, with `region` moved up by the row) is enough.
int32_t IdRow(const Rect& region);

}  // namespace tallwick_bench
