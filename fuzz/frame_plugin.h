#pragma once

#include <cstdint>

#include "devhost/entry_points.h"
#include "frame/video_frame.h"

namespace tallwick_fuzz {

// A plug-in whose one instance owns the module's single-stream renderer and
// draws what it is handed, as the render role does on a tick: the renderer
// is set up again when the picture's size, rotation or flip changes.
pphost::EntryPoints FramePluginEntryPoints();

// Draws `frame` (already checked against its mapping) into the instance
// created last; false when there is no instance or the renderer refused.
// The swap completes through the host's loop.
bool DrawWithPlugin(const TALLWICK_PP_RENDER::VideoFrame& frame);

}  // namespace tallwick_fuzz
