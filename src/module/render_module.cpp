#include "module/render_module.h"

#include <new>

#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "controller/crash_manager.h"
#include "module/mediator_instance.h"

namespace TALLWICK_PP_RENDER {

namespace {
unsigned Address32(const void* object) { return static_cast<unsigned>(TALLWICK_LOG::ObjectAddress(object)); }
}  // namespace

RenderModule::RenderModule() { TALLWICK_LOG::DebugTrace(L"render module contruct...%08x", Address32(this)); }

RenderModule::~RenderModule() {
  TALLWICK_LOG::DebugTrace(L"render module destroyed...%08x", Address32(this));
  {
    TALLWICK_COMMON::ScopeTimer timer(TALLWICK_LOG::kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Uninit");
    CrashManager::GetInstance()->Uninit();
  }
  CrashManager::DestroyInstance();
  TALLWICK_LOG::DestroyLibraryLogger();
  TALLWICK_LOG::LogInstance::DestroyInstance();
}

pp::Instance* RenderModule::CreateInstance(PP_Instance instance) {
  return new (std::nothrow) MediatorInstance(instance);
}

}  // namespace TALLWICK_PP_RENDER

namespace pp {
Module* CreateModule() { return new (std::nothrow) TALLWICK_PP_RENDER::RenderModule(); }
}  // namespace pp
