#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "controller/share_memory_diff.h"

namespace TALLWICK_PP_RENDER {

// The published frame segments, one record per stream key
// (`MakeStreamKey`). It knows nothing of the page or of instances: the
// controller reads the commands, logs, and gives it the notice to send when a
// stream's segment changes.
//
// Promises: `Add` calls the notice with the record's key, synchronously and
// before the record is stored, so whoever the notice reaches still finds the
// old record (or none) and looks the key up again later. Nothing else calls
// it. Main thread only, no locking; the notice must not change the registry.
class SharedMemoryRegistry {
 public:
  // Told the stream key of every record about to be added or replaced.
  using AddNotice = std::function<void(const std::string& streamKey)>;

  explicit SharedMemoryRegistry(AddNotice beforeAdd);

  // Stores `diff` under its stream key, replacing every field of a record
  // already there; returns the key.
  std::string Add(const ShareMemoryDiff& diff);
  // Drops the record of `diff`'s stream key, if any; returns the key.
  std::string Remove(const ShareMemoryDiff& diff);
  void Clear() { m_shareMemoryDiffs.clear(); }

  // Copies the record of `key` into `out`; false, and `out` untouched, when
  // there is none.
  bool Find(const std::string& key, ShareMemoryDiff* out) const;
  size_t Size() const { return m_shareMemoryDiffs.size(); }
  // Every record, in the registry's own (unspecified) order.
  std::vector<ShareMemoryDiff> Dump() const;

 private:
  AddNotice beforeAdd_;
  std::unordered_map<std::string, ShareMemoryDiff> m_shareMemoryDiffs;
};

}  // namespace TALLWICK_PP_RENDER
