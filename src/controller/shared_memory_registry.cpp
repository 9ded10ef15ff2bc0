#include "controller/shared_memory_registry.h"

#include <utility>

namespace TALLWICK_PP_RENDER {

namespace {

std::string StreamKey(const ShareMemoryDiff& diff) { return MakeStreamKey(diff.uid, diff.isScreen, diff.isMerge); }

}  // namespace

std::string MakeStreamKey(const std::string& uid, bool isScreen, bool isMerge) {
  if (isScreen) return uid + "_SCREEN";
  if (isMerge) return uid + "_MERGE";
  return uid + "_CAMERA";
}

SharedMemoryRegistry::SharedMemoryRegistry(AddNotice beforeAdd) : beforeAdd_(std::move(beforeAdd)) {}

std::string SharedMemoryRegistry::Add(const ShareMemoryDiff& diff) {
  std::string key = StreamKey(diff);
  if (beforeAdd_) beforeAdd_(key);
  m_shareMemoryDiffs[key] = diff;
  return key;
}

std::string SharedMemoryRegistry::Remove(const ShareMemoryDiff& diff) {
  std::string key = StreamKey(diff);
  m_shareMemoryDiffs.erase(key);
  return key;
}

bool SharedMemoryRegistry::Find(const std::string& key, ShareMemoryDiff* out) const {
  const auto found = m_shareMemoryDiffs.find(key);
  if (found == m_shareMemoryDiffs.end()) return false;
  *out = found->second;
  return true;
}

std::vector<ShareMemoryDiff> SharedMemoryRegistry::Dump() const {
  std::vector<ShareMemoryDiff> records;
  records.reserve(m_shareMemoryDiffs.size());
  for (const auto& entry : m_shareMemoryDiffs) records.push_back(entry.second);
  return records;
}

}  // namespace TALLWICK_PP_RENDER
