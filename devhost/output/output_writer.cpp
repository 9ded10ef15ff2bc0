#include "devhost/output/output_writer.h"

#include <optional>
#include <utility>

namespace pphost {

namespace {

Json OptionalMs(const std::optional<int64_t>& ms) { return ms ? Json(*ms) : Json(nullptr); }

}  // namespace

OutputWriter::OutputWriter(LineSink sink, const HostClock& clock) : sink_(std::move(sink)), clock_(clock) {}

Json OutputWriter::Line(const char* kind) const {
  Json line = Json::object();
  line["kind"] = kind;
  return line;
}

Json OutputWriter::TimedLine(const char* kind) const {
  Json line = Line(kind);
  line["t"] = clock_.MonotonicMs();
  return line;
}

void OutputWriter::Write(const Json& line) {
  const std::string text = DumpLine(line);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!muted_ && sink_) sink_(text);
}

void OutputWriter::Mute() {
  std::lock_guard<std::mutex> lock(mutex_);
  muted_ = true;
}

void OutputWriter::Created(const Json& id, PP_Instance instance) {
  Json line = Line("created");
  line["id"] = id;
  line["instance"] = instance;
  Write(line);
}

void OutputWriter::Post(const Json& id, Json msg) {
  Json line = TimedLine("post");
  line["id"] = id;
  line["msg"] = std::move(msg);
  Write(line);
}

void OutputWriter::Log(const char* tag, int level, const char* text) {
  Json line = TimedLine("log");
  line["tag"] = tag != nullptr ? tag : "";
  line["level"] = level;
  line["text"] = text != nullptr ? text : "";
  Write(line);
}

void OutputWriter::Input(const Json& id, const std::string& type, bool delivered, bool handled) {
  Json line = Line("input");
  line["id"] = id;
  line["type"] = type;
  line["delivered"] = delivered;
  line["handled"] = handled;
  Write(line);
}

void OutputWriter::Cursor(const Json& id, int32_t type, bool ok) {
  Json line = TimedLine("cursor");
  line["id"] = id;
  line["type"] = type;
  line["ok"] = ok;
  Write(line);
}

void OutputWriter::Present(const Json& id, int32_t width, int32_t height, int64_t count) {
  Json line = TimedLine("present");
  line["id"] = id;
  line["width"] = width;
  line["height"] = height;
  line["n"] = count;
  Write(line);
}

void OutputWriter::Snapshot(const Json& id, int32_t width, int32_t height, const std::string& path) {
  Json line = Line("snapshot");
  line["id"] = id;
  line["width"] = width;
  line["height"] = height;
  line["path"] = path;
  Write(line);
}

void OutputWriter::Pixels(const Json& id, const std::vector<std::vector<int>>& values) {
  Json line = Line("pixels");
  line["id"] = id;
  line["values"] = values;
  Write(line);
}

void OutputWriter::Page(int32_t width, int32_t height, const std::string& path, const std::vector<Json>& ids) {
  Json line = Line("page");
  line["width"] = width;
  line["height"] = height;
  line["path"] = path;
  line["ids"] = ids;
  Write(line);
}

void OutputWriter::Watched(const Json& id, const std::vector<RegionChanges>& regions) {
  Json line = Line("watched");
  line["id"] = id;
  line["regions"] = Json::array();
  for (const RegionChanges& region : regions) {
    line["regions"].push_back(Json{{"name", region.name},
                                   {"changes", region.changes},
                                   {"first_t", OptionalMs(region.firstMs)},
                                   {"last_t", OptionalMs(region.lastMs)}});
  }
  Write(line);
}

void OutputWriter::Shutdown(size_t liveVars, size_t liveResources) {
  Json line = Line("shutdown");
  line["live_vars"] = liveVars;
  line["live_resources"] = liveResources;
  Write(line);
}

void OutputWriter::Error(int64_t seq, const std::string& text) {
  Json line = Line("error");
  line["seq"] = seq;
  line["text"] = text;
  Write(line);
}

void OutputWriter::Ack(int64_t seq, const Json& op) {
  Json line = Line("ack");
  line["seq"] = seq;
  line["op"] = op;
  Write(line);
}

}  // namespace pphost
