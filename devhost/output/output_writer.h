#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "devhost/json.h"
#include "devhost/runtime/host_clock.h"
#include "devhost/runtime/region_watch.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// Receives each output line, without its newline.
using LineSink = std::function<void(const std::string& line)>;

// Writes the output lines of the page protocol, one JSON object a line,
// `kind` first and the fields in their documented order. Lines caused by the
// module carry `t`, the host's monotonic time in ms. Safe to call from the log
// library's threads.
class OutputWriter {
 public:
  OutputWriter(LineSink sink, const HostClock& clock);

  void Created(const Json& id, PP_Instance instance);
  void Post(const Json& id, Json msg);
  void Log(const char* tag, int level, const char* text);
  void Input(const Json& id, const std::string& type, bool delivered, bool handled);
  void Cursor(const Json& id, int32_t type, bool ok);
  void Present(const Json& id, int32_t width, int32_t height, int64_t count);
  void Snapshot(const Json& id, int32_t width, int32_t height, const std::string& path);
  void Pixels(const Json& id, const std::vector<std::vector<int>>& values);
  void Page(int32_t width, int32_t height, const std::string& path, const std::vector<Json>& ids);
  void Watched(const Json& id, const std::vector<RegionChanges>& regions);
  void Shutdown(size_t liveVars, size_t liveResources);
  void Error(int64_t seq, const std::string& text);
  void Ack(int64_t seq, const Json& op);

  // Drops every line from now on (the silent shutdown at end of input).
  void Mute();

 private:
  Json Line(const char* kind) const;
  Json TimedLine(const char* kind) const;
  void Write(const Json& line);

  LineSink sink_;
  const HostClock& clock_;
  std::mutex mutex_;
  bool muted_ = false;
};

}  // namespace pphost
