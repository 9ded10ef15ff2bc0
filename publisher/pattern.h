#pragma once

#include <cstdint>

#include "frame/frame_writer.h"

namespace tallwick::publisher {

// Fills the writer's planes with vertical colour bars that move one bar
// width every `period` frames, so that a viewer sees the stream is live.
void FillMovingBars(tallwick::frame::FrameWriter& writer, int32_t frameId);

}  // namespace tallwick::publisher
