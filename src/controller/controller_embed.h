#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/singleton.h"
#include "controller/share_memory_diff.h"
#include "embed/i_embed.h"
#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

// The module-wide controller role, shared by every controller element: the
// page handshake, the meeting's self keys and the registry of segments.
class ControllerEmbed : public IEmbed, public TALLWICK_COMMON::Singleton<ControllerEmbed> {
 public:
  ~ControllerEmbed() override;

  // Registers a controller element and starts its handshake chain.
  void SetContextInstance(pp::Instance* instance);

  // Entry for every message of a controller element: marks that the page
  // talked to us, then dispatches.
  MessageHandleResult HandleControllerMessage(const std::string& command, const pp::VarDictionary& data);

  // Posts to every registered element that is still alive, in registration order.
  void PostToContextInstances(const pp::Var& message);
  // Registered elements, including destroyed ones not forgotten yet.
  size_t ContextInstanceCount() const { return m_contextInstances.size(); }

  const std::string& GetSelfCameraKey() const { return m_selfCameraStreamKey; }
  const std::string& GetSelfScreenKey() const { return m_selfScreenStreamKey; }
  void SetSelfCameraKey(const std::string& key);
  void SetSelfScreenKey(const std::string& key);
  int64_t GetStartTick() const { return m_startTick; }

  // The registry.
  int32_t DoUpdateSharedMemory(int32_t op, const std::vector<ShareMemoryDiff>& diffs);
  bool GetShareMemoryDiff(const std::string& key, ShareMemoryDiff* out) const;

 private:
  friend class TALLWICK_COMMON::Singleton<ControllerEmbed>;
  ControllerEmbed();

  void RegisterCommands();
  void CheckInstanceLoadAck(int32_t result);

  // Command handlers.
  pp::VarDictionary HandleGetPid(const pp::VarDictionary& data);
  int32_t HandleInit(const pp::VarDictionary& data);
  int32_t HandleReset(const pp::VarDictionary& data);
  int32_t HandleSetProcessTitle(const pp::VarDictionary& data);
  int32_t SetMeetingInfo(const pp::VarDictionary& data);
  int32_t HandleDoUpdateShareMemory(const pp::VarDictionary& data);
  pp::VarDictionary HandleGetShareMemoryDiffs(const pp::VarDictionary& data);

  // Registry steps.
  void AddShareMemoryDiff(const ShareMemoryDiff& diff);
  void RemoveShareMemoryDiff(const ShareMemoryDiff& diff);
  static void SendResetShoomToAllInstances(const std::string& streamKey);

  // An element is remembered with its handle so that a destroyed element (or
  // a new one at the same address) is never posted to.
  using ContextInstance = std::pair<pp::Instance*, PP_Instance>;
  static bool IsAlive(const ContextInstance& entry);

  std::unordered_map<std::string, ShareMemoryDiff> m_shareMemoryDiffs;
  std::string m_selfCameraStreamKey;
  std::string m_selfScreenStreamKey;
  int64_t m_startTick = 0;
  bool m_gotInstanceLoadAck = false;
  pp::CompletionCallbackFactory<ControllerEmbed> m_callbackFactory;
  std::vector<ContextInstance> m_contextInstances;
};

}  // namespace TALLWICK_PP_RENDER
