#pragma once

#include "host/ppapi/pp_types.h"

namespace pp {

// A reference-counted handle on a browser resource (0 = none).
class Resource {
 public:
  struct PassRef {};

  Resource() = default;
  explicit Resource(PP_Resource resource);  // adds a reference
  Resource(PassRef, PP_Resource resource);  // adopts one
  Resource(const Resource& other);
  Resource& operator=(const Resource& other);
  virtual ~Resource();

  bool is_null() const { return resource_ == 0; }
  PP_Resource pp_resource() const { return resource_; }

 private:
  PP_Resource resource_ = 0;
};

}  // namespace pp
