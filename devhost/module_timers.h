#pragma once

#include <cstdint>
#include <functional>

#include "devhost/entry_points.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// What a caller is told of each timer a module arms (PPB_Core
// CallOnMainThread), before the host arms it: the delay it asked for and
// its callback, which the observer may replace (to see it fire). Returns
// false to refuse the timer: it is not armed and its callback never runs.
using TimerObserver = std::function<bool(int32_t delayMs, PP_CompletionCallback& callback)>;

// Entry points of `module` (linked into the caller) whose core interface
// shows every timer to `observer`: for tests, benchmarks and fuzz targets
// that count a paint loop's ticks whatever the clock does. One module per
// process, as the host allows; a second call replaces the first.
EntryPoints ObservingTimers(const EntryPoints& module, TimerObserver observer);

}  // namespace pphost
