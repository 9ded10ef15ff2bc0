#pragma once

#include "host/instance.h"

namespace pp {

// Lets an instance hear that the browser lost its 3D contexts. The first
// client registers "PPP_Graphics_3D;1.0" with the module.
class Graphics3DClient {
 public:
  explicit Graphics3DClient(Instance* instance);
  virtual ~Graphics3DClient();

  Graphics3DClient(const Graphics3DClient&) = delete;
  Graphics3DClient& operator=(const Graphics3DClient&) = delete;

  virtual void Graphics3DContextLost() = 0;

 private:
  PP_Instance instance_;
};

}  // namespace pp
