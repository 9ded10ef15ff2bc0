#pragma once

#include <cstdint>

#include "devhost/entry_points.h"

namespace module_test {

// Entry points of the module linked in whose core interface counts the
// timers the module arms with a delay under 100 ms: the paint loops' ticks
// (the heartbeat and the controller's handshake ask for 100 ms and more).
// Past `cap` such timers it arms no more, so that a loop that re-arms itself
// at once ends instead of holding the virtual clock still for ever; the
// count then tells how far it went. One module per process, as the host
// allows; the count starts at 0 when the entry points are made.
pphost::EntryPoints TickCountingEntryPoints(int64_t cap);

// Short timers the module asked for since it was loaded, those refused
// past the cap included.
int64_t TicksArmed();

}  // namespace module_test
