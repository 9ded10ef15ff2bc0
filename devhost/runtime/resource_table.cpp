#include "devhost/runtime/resource_table.h"

namespace pphost {

PP_Resource ResourceTable::Create(PP_Instance instance, const ResourceData& data) {
  const PP_Resource id = next_++;
  resources_.emplace(id, Entry{instance, data, 1});
  return id;
}

void ResourceTable::AddRef(PP_Resource resource) {
  auto it = resources_.find(resource);
  if (it != resources_.end()) ++it->second.refs;
}

void ResourceTable::Release(PP_Resource resource) {
  auto it = resources_.find(resource);
  if (it != resources_.end() && --it->second.refs <= 0) resources_.erase(it);
}

}  // namespace pphost
