#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "host/ppapi/pp_types.h"
#include "host/ppapi/ppb_input_event.h"

namespace pphost {

class Context3D;

struct ViewData {
  PP_Rect rect;
  bool visible;
  float deviceScale;
};

struct InputEventData {
  PP_InputEvent_Type type;
  PP_TimeTicks timeStamp;
  uint32_t modifiers;
  PP_InputEvent_MouseButton button;
  PP_Point position;
  int32_t clickCount;
  PP_Point movement;
};

// A PPB_Graphics3D context. Shared: a swap in flight keeps it alive until
// its completion has run.
struct Graphics3DData {
  std::shared_ptr<Context3D> context;
};

using ResourceData = std::variant<ViewData, InputEventData, Graphics3DData>;

// Browser resources handed to the module, with their reference counts. Ids
// grow from 1 and are never reused.
class ResourceTable {
 public:
  // A new resource holding one reference, for the caller.
  PP_Resource Create(PP_Instance instance, const ResourceData& data);
  // Unknown or dead resources are ignored.
  void AddRef(PP_Resource resource);
  void Release(PP_Resource resource);

  // The resource's data when it is alive and of that kind.
  template <typename T>
  const T* Get(PP_Resource resource) const {
    auto it = resources_.find(resource);
    return it != resources_.end() ? std::get_if<T>(&it->second.data) : nullptr;
  }

  // The live resources of that kind that belong to `instance`.
  template <typename T>
  std::vector<PP_Resource> OfInstance(PP_Instance instance) const {
    std::vector<PP_Resource> found;
    for (const auto& entry : resources_) {
      if (entry.second.instance == instance && std::holds_alternative<T>(entry.second.data)) {
        found.push_back(entry.first);
      }
    }
    return found;
  }

  size_t LiveCount() const { return resources_.size(); }
  // The live resources of that kind, of every instance.
  template <typename T>
  size_t LiveCountOf() const {
    size_t count = 0;
    for (const auto& entry : resources_) count += std::holds_alternative<T>(entry.second.data) ? 1 : 0;
    return count;
  }

 private:
  struct Entry {
    PP_Instance instance;
    ResourceData data;
    int64_t refs;
  };

  std::map<PP_Resource, Entry> resources_;
  PP_Resource next_ = 1;
};

}  // namespace pphost
