#include "devhost/page/loop_ops.h"

#include <cmath>
#include <string>

#include "devhost/page/instance_lookup.h"
#include "devhost/page/script_fields.h"

namespace pphost {

namespace {

int64_t DurationNs(const Json& ms) {
  if (ms.is_number_integer() || ms.is_number_unsigned()) {
    const int64_t whole = AsInt64(ms, "ms");
    if (whole >= 0 && whole <= kMaxRunMs) return whole * kNsPerMs;
  } else {
    const double value = AsNumber(ms, "ms");
    if (std::isfinite(value) && value >= 0 && value <= static_cast<double>(kMaxRunMs)) {
      return static_cast<int64_t>(std::llround(value * static_cast<double>(kNsPerMs)));
    }
  }
  throw ScriptError("field \"ms\" must be a number of milliseconds from 0 to 1e12");
}

}  // namespace

void LoopOps::Run(const Json& line) {
  const int64_t durationNs = DurationNs(RequiredField(line, "ms"));
  if (!browser_.clock.CanAdvance(durationNs)) throw ScriptError("the clock cannot run past 4e12 ms");
  const int64_t endNs = browser_.clock.MonotonicNs() + durationNs;
  const Json* until = OptionalField(line, "until");
  if (until == nullptr) {
    browser_.loop.RunUntil(endNs, nullptr);
    return;
  }
  RunUntilPosted(endNs, *until);
}

// Stops right after the callback during which the instance posted a message
// with that "command"; running out of time without one is an error.
void LoopOps::RunUntilPosted(int64_t endNs, const Json& until) {
  if (!until.is_object()) throw ScriptError("field \"until\" must be {\"id\": ..., \"command\": ...}");
  const InstanceRecord& record = RequiredInstance(browser_.instances, until);
  const Json id = record.pageId;
  const Json& command = RequiredField(until, "command");
  browser_.postWatch.Start(record.instance, command);
  const bool seen = browser_.loop.RunUntil(endNs, [this] { return browser_.postWatch.Seen(); });
  browser_.postWatch.Stop();
  if (!seen) throw ScriptError(DumpLine(id) + " posted no " + DumpLine(command) + " before the end of the run");
}

void LoopOps::Clock(const Json& line) {
  const int64_t wallMs = AsInt64(RequiredField(line, "wall_ms"), "wall_ms");
  if (!browser_.clock.IsVirtual()) throw ScriptError("only the virtual clock can be set (--clock virtual)");
  if (wallMs < -kClockRangeMs || wallMs > kClockRangeMs) {
    throw ScriptError("field \"wall_ms\" must be from -4e12 to 4e12 (ms since 1970)");
  }
  browser_.clock.SetWallMs(wallMs);
}

}  // namespace pphost
