#pragma once

#include <cstdint>

#include "devhost/entry_points.h"

namespace tallwick_fuzz {

// Watches for busy loops: entry points of the module linked in whose core
// interface counts the short timers (under 100 ms: the paint loops' ticks;
// the heartbeat and the handshake ask for more) that the module arms in an
// input, and reports a finding the moment they exceed the input's budget.
// One module per process, as the host allows.
//
// The budget is cumulative, not per step: a paint loop that paused catches
// up the intervals it missed with ticks at once, by design, so only the
// total is bounded. Each of `loops` paint loops may tick every 8 ms (120
// fps, the fastest any fps gives) of the virtual time served so far, twice
// over (a loop stopped and started again within one interval leaves a tick
// of the old chain pending), plus 4 for each page action (START_RENDER
// ticks at once, a clear adds a tick) and 8.
pphost::EntryPoints TickBudgetEntryPoints();

// A new input with `loops` paint loops.
void BeginTickBudget(int loops);
// `ms` of virtual time are served.
void AddTimeToTickBudget(int64_t ms);
// A page action (a message, an element created or destroyed).
void AddActionToTickBudget();

}  // namespace tallwick_fuzz
