#pragma once

#include "host/module.h"

namespace TALLWICK_PP_RENDER {

// The module object: makes a MediatorInstance for every element and releases
// the module-wide services at shutdown.
class RenderModule : public pp::Module {
 public:
  RenderModule();
  ~RenderModule() override;

  pp::Instance* CreateInstance(PP_Instance instance) override;
};

}  // namespace TALLWICK_PP_RENDER
