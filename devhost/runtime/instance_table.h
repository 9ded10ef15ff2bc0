#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "devhost/json.h"
#include "devhost/runtime/region_watch.h"
#include "devhost/runtime/resource_table.h"
#include "devhost/runtime/shown_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

struct InstanceRecord {
  InstanceRecord(Json id, PP_Instance number) : pageId(std::move(id)), instance(number) {}

  Json pageId;  // the name the page gave it, echoed in output lines
  PP_Instance instance;
  uint32_t unfilteredClasses = 0;  // PP_InputEvent_Class bits
  uint32_t filteringClasses = 0;
  PP_Resource boundGraphics = 0;     // holds a reference while bound
  ShownImage presented;              // from the bound context's last completed swap
  int64_t presentCount = 0;          // completed swaps of a bound context
  std::optional<ViewData> view;      // the last view the page gave it
  std::optional<RegionWatch> watch;  // counts changes in each presented image while set

  bool Wants(uint32_t eventClass) const { return ((unfilteredClasses | filteringClasses) & eventClass) != 0; }
};

// The live plug-in instances, by PP_Instance (ascending from 1, never
// reused) and by the page's name for them.
class InstanceTable {
 public:
  InstanceRecord& Add(const Json& pageId);
  InstanceRecord* Find(PP_Instance instance);
  InstanceRecord* FindByPageId(const Json& pageId);
  const InstanceRecord* FindByPageId(const Json& pageId) const;
  void Remove(PP_Instance instance);
  std::vector<PP_Instance> InCreationOrder() const;

 private:
  std::map<PP_Instance, InstanceRecord> records_;  // node-based: records stay put while others come and go
  PP_Instance next_ = 1;
};

}  // namespace pphost
