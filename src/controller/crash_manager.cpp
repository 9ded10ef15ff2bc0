#include "controller/crash_manager.h"

#include "common/log_instance.h"
#include "common/scope_timer.h"

namespace TALLWICK_PP_RENDER {

// The arguments are taken by value, as the hook's interface has always had them.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void CrashManager::Init(std::string /*crashHandlerPath*/, std::string /*logPath*/, std::string /*logPath2*/,
                        int /*logVersion*/) {
  TALLWICK_COMMON::ScopeTimer timer(TALLWICK_LOG::kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Init");
  m_inited = true;
}

void CrashManager::Uninit() {
  TALLWICK_COMMON::ScopeTimer timer(TALLWICK_LOG::kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Uninit");
  m_inited = false;
}

}  // namespace TALLWICK_PP_RENDER
