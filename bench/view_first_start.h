#pragma once

#include <string>

#include "stream_page.h"

namespace tallwick_bench {

// Starts a single-stream `page` as StreamPage::Start does, but with the view
// sent before "INIT": the element then has no renderer when the view
// arrives, and the renderer makes its drawing buffer at the first frame's
// size. Loads the module, creates the controller and the element, sends the
// view, "INIT", the segment registration and "START_RENDER". False with the
// first failing step in `error`.
bool StartViewFirst(StreamPage& page, const StreamPageSetup& setup, std::string* error);

}  // namespace tallwick_bench
