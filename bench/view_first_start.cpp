#include "view_first_start.h"

#include <vector>

#include "devhost/json.h"
#include "paint_timer_count.h"

namespace tallwick_bench {

namespace {

using pphost::Json;

constexpr const char* kControllerId = "c";

Json Message(const std::string& id, const std::string& command, const Json& data) {
  return {{"op", "message"}, {"id", id}, {"msg", {{"command", command}, {"data", data}}}};
}

// The controller's entry for the stream, as the page forwards it.
Json Registration(const PageStream& stream) {
  Json entry;
  entry["path"] = stream.segmentPath;
  entry["uid"] = stream.uid;
  entry["sid"] = stream.sid;
  entry["bufferSize"] = tallwick::frame::FrameSegmentSize(stream.geometry);
  entry["bufferNumber"] = 1;
  entry["isScreen"] = false;
  entry["isMerge"] = false;
  entry["frameFormat"] = stream.geometry.format;
  return {{"op", 0}, {"diffs", Json::array({entry})}};
}

Json InitData(const StreamPageSetup& setup) {
  const PageStream& stream = setup.streams.front();
  return {{"fps", setup.fps}, {"renderExceptionThreshold", 2000}, {"dpr", 1}, {"uid", stream.uid}, {"sid", stream.sid}};
}

std::vector<Json> Script(const StreamPageSetup& setup) {
  const Json controllerAttrs = Json::array({Json::array({"data-controller", ""})});
  const Json view = {0, 0, setup.viewWidth, setup.viewHeight};
  return {
      {{"op", "create"}, {"id", kControllerId}, {"attrs", controllerAttrs}},
      {{"op", "create"}, {"id", StreamPage::kElementId}, {"attrs", Json::array()}},
      {{"op", "view"}, {"id", StreamPage::kElementId}, {"rect", view}},
      Message(StreamPage::kElementId, "INIT", InitData(setup)),
      Message(kControllerId, "DO_UPDATE_SHARED_MEMORY", Registration(setup.streams.front())),
      Message(StreamPage::kElementId, "START_RENDER", Json::object()),
  };
}

}  // namespace

bool StartViewFirst(StreamPage& page, const StreamPageSetup& setup, std::string* error) {
  if (setup.streams.empty()) {
    *error = "the page has no stream";
    return false;
  }
  if (!page.Host().Load(CountingEntryPoints())) {
    *error = page.Host().LoadError();
    return false;
  }
  for (const Json& line : Script(setup)) {
    if (!page.Host().Execute(line.dump())) {
      *error = "the page refused " + line.dump();
      return false;
    }
  }
  return true;
}

}  // namespace tallwick_bench
