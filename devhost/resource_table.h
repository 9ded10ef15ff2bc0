#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <variant>

#include "host/ppapi/pp_types.h"
#include "host/ppapi/ppb_input_event.h"

namespace pphost {

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

using ResourceData = std::variant<ViewData, InputEventData>;

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

  size_t LiveCount() const { return resources_.size(); }

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
