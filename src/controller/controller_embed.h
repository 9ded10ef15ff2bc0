#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/singleton.h"
#include "embed/i_embed.h"
#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

// The module-wide controller role, shared by every controller element.
class ControllerEmbed : public IEmbed, public TALLWICK_COMMON::Singleton<ControllerEmbed> {
 public:
  ~ControllerEmbed() override;

  // Registers a controller element.
  void SetContextInstance(pp::Instance* instance);

  // Entry for every message of a controller element: marks that the page
  // talked to us, then dispatches.
  MessageHandleResult HandleControllerMessage(const std::string& command, const pp::VarDictionary& data);

  // Posts to every registered element that is still alive, in registration order.
  void PostToContextInstances(const pp::Var& message);

  int64_t GetStartTick() const { return m_startTick; }
  bool GotInstanceLoadAck() const { return m_gotInstanceLoadAck; }

 private:
  friend class TALLWICK_COMMON::Singleton<ControllerEmbed>;
  ControllerEmbed();

  // An element is remembered with its handle so that a destroyed element (or
  // a new one that reuses the address) is never posted to.
  using ContextInstance = std::pair<pp::Instance*, PP_Instance>;
  static bool IsAlive(const ContextInstance& entry);

  int64_t m_startTick = 0;
  bool m_gotInstanceLoadAck = false;
  pp::CompletionCallbackFactory<ControllerEmbed> m_callbackFactory;
  std::vector<ContextInstance> m_contextInstances;
};

}  // namespace TALLWICK_PP_RENDER
