#include "devhost/page/watch_ops.h"

#include <set>
#include <string>
#include <vector>

#include "devhost/page/instance_lookup.h"
#include "devhost/page/script_fields.h"
#include "devhost/runtime/region_watch.h"

namespace pphost {

namespace {

// {"name": string, "rect": [x, y, w, h]} with w and h not negative.
WatchedRegion ReadRegion(const Json& region) {
  if (!region.is_object()) throw ScriptError("each region must be {\"name\", \"rect\"}, not " + DumpLine(region));
  WatchedRegion read{AsString(RequiredField(region, "name"), "name"), AsRect(RequiredField(region, "rect"), "rect")};
  if (read.rect.size.width < 0 || read.rect.size.height < 0) {
    throw ScriptError("region \"" + read.name + "\" has a negative size");
  }
  return read;
}

// Each name once, so the counts can be told apart.
std::vector<WatchedRegion> ReadRegions(const Json& line) {
  const Json& regions = RequiredField(line, "regions");
  if (!regions.is_array()) throw ScriptError("field \"regions\" must be a list of {\"name\", \"rect\"}");
  std::vector<WatchedRegion> read;
  std::set<std::string> names;
  for (const Json& region : regions) {
    read.push_back(ReadRegion(region));
    if (!names.insert(read.back().name).second) throw ScriptError("region \"" + read.back().name + "\" given twice");
  }
  return read;
}

}  // namespace

// Replaces what the instance counted before; no regions stops counting.
void WatchOps::Watch(const Json& line) {
  InstanceRecord& record = RequiredInstance(browser_.instances, line);
  const std::vector<WatchedRegion> regions = ReadRegions(line);
  if (regions.empty()) {
    record.watch.reset();
  } else {
    record.watch.emplace(regions);
  }
}

void WatchOps::Watched(const Json& line) {
  const InstanceRecord& record = RequiredInstance(browser_.instances, line);
  browser_.output.Watched(record.pageId, record.watch ? record.watch->Changes() : std::vector<RegionChanges>{});
}

}  // namespace pphost
