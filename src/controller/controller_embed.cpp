#include "controller/controller_embed.h"

#include "common/clock.h"
#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

ControllerEmbed::ControllerEmbed() : m_callbackFactory(this) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::ControllerEmbed");
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[ControllerEmbed] this[{:#08x}] controller instance construct",
        reinterpret_cast<uintptr_t>(this));
  TALLWICK_LOG::DebugTrace(L"controller instance construct...%08x",
                           static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
}

ControllerEmbed::~ControllerEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::~ControllerEmbed");
}

void ControllerEmbed::SetContextInstance(pp::Instance* instance) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::SetContextInstance");
  m_startTick = TALLWICK_COMMON::NowMs();
  m_contextInstances.emplace_back(instance, instance->pp_instance());
}

MessageHandleResult ControllerEmbed::HandleControllerMessage(const std::string& command,
                                                             const pp::VarDictionary& data) {
  m_gotInstanceLoadAck = true;
  return HandleMessage(command, data);
}

bool ControllerEmbed::IsAlive(const ContextInstance& entry) {
  const pp::Module* module = pp::Module::Get();
  return module != nullptr && module->InstanceForPPInstance(entry.second) == entry.first;
}

void ControllerEmbed::PostToContextInstances(const pp::Var& message) {
  for (const ContextInstance& entry : m_contextInstances) {
    if (IsAlive(entry)) entry.first->PostMessage(message);
  }
}

}  // namespace TALLWICK_PP_RENDER
