#include "devhost/runtime/instance_table.h"

namespace pphost {

InstanceRecord& InstanceTable::Add(const Json& pageId) {
  const PP_Instance instance = next_++;
  return records_.emplace(instance, InstanceRecord(pageId, instance)).first->second;
}

InstanceRecord* InstanceTable::Find(PP_Instance instance) {
  auto it = records_.find(instance);
  return it != records_.end() ? &it->second : nullptr;
}

InstanceRecord* InstanceTable::FindByPageId(const Json& pageId) {
  for (auto& entry : records_) {
    if (entry.second.pageId == pageId) return &entry.second;
  }
  return nullptr;
}

const InstanceRecord* InstanceTable::FindByPageId(const Json& pageId) const {
  for (const auto& entry : records_) {
    if (entry.second.pageId == pageId) return &entry.second;
  }
  return nullptr;
}

void InstanceTable::Remove(PP_Instance instance) { records_.erase(instance); }

std::vector<PP_Instance> InstanceTable::InCreationOrder() const {
  std::vector<PP_Instance> order;
  for (const auto& entry : records_) order.push_back(entry.first);
  return order;
}

}  // namespace pphost
