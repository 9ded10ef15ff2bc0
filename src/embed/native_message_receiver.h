#pragma once

#include "host/var.h"

namespace TALLWICK_PP_RENDER {

// An instance that takes messages from the module itself (no reply).
class NativeMessageReceiver {
 public:
  virtual ~NativeMessageReceiver() = default;
  virtual void HandleNativeMessage(const pp::Var& message) = 0;
};

}  // namespace TALLWICK_PP_RENDER
