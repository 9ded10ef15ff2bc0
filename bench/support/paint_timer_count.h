#pragma once

#include <cstdint>

#include "devhost/entry_points.h"

namespace tallwick_bench {

// Entry points of the module linked in, with one difference: the core
// interface the module receives counts the timers it arms with a delay
// under 100 ms. Those are the paint loop's ticks (the heartbeat and the
// controller's handshake ask for 100 ms and more), so the count tells how
// many ticks the loop ran whatever the clock did. One module per process,
// as the host allows.
pphost::EntryPoints CountingEntryPoints();

// Short timers armed since CountingEntryPoints was called.
int64_t PaintTimersArmed();

// When the last of those fired (CLOCK_MONOTONIC ns; 0 before the first): the
// start of the tick whose draw the next present shows, as the loop arms no
// tick while a swap is in flight.
int64_t LastPaintTickNs();

}  // namespace tallwick_bench
