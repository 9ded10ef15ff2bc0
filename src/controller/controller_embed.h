#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/singleton.h"
#include "controller/share_memory_diff.h"
#include "controller/shared_memory_registry.h"
#include "embed/i_embed.h"
#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

// The controller role: the page's handshake, the meeting's self keys and the
// registry of published segments.
//
// One object for the whole module (`GetInstance`), shared by every element
// with the "data-controller" attribute; the module never destroys it (tests
// and fuzzers do, between cases). It owns the list of those elements, the handshake timer and the registry.
// `MediatorInstance` registers each controller element (`SetContextInstance`)
// and hands it every message of one (`HandleControllerMessage`); the render
// roles read the self keys, `GetStartTick` and the registry (their stream
// readers look their keys up in it), and a local stream sets its self key.
//
// Promises: main thread only, no locking. It posts only to elements that are
// still alive: an element is kept with its handle and looked up again in the
// module before every post, so a destroyed element (or another one at the
// same address) is never posted to. The handshake timer goes through the
// controller's own callback factory: a timer that fires after the controller
// is gone does nothing, and one the browser drops ends that chain. On every add to the registry, "RESET_SHOOM" reaches
// every instance of the module synchronously, inside `DoUpdateSharedMemory`, before the record is stored.
//
// Its code is in two files: controller_embed.cpp (the element list, the
// handshake, the meeting commands) and controller_registry_commands.cpp (the
// registry's two commands, its add and remove steps and the "RESET_SHOOM"
// notice).
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

  // The registry: `DoUpdateSharedMemory` carries out "DO_UPDATE_SHARED_MEMORY"
  // on its list once read (RGBA records already dropped), with its log lines;
  // `GetShareMemoryDiff` is `SharedMemoryRegistry::Find`.
  int32_t DoUpdateSharedMemory(int32_t op, const std::vector<ShareMemoryDiff>& diffs);
  bool GetShareMemoryDiff(const std::string& key, ShareMemoryDiff* out) const { return registry_.Find(key, out); }
  // The registry itself, for the render roles' stream readers.
  const SharedMemoryRegistry& Registry() const { return registry_; }

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

  // Registry steps with their log lines; the notice the registry sends on an add.
  void AddShareMemoryDiff(const ShareMemoryDiff& diff);
  void RemoveShareMemoryDiff(const ShareMemoryDiff& diff);
  static void SendResetShoomToAllInstances(const std::string& streamKey);

  // An element is remembered with its handle so that a destroyed element (or
  // a new one at the same address) is never posted to.
  using ContextInstance = std::pair<pp::Instance*, PP_Instance>;
  static bool IsAlive(const ContextInstance& entry);

  SharedMemoryRegistry registry_{&ControllerEmbed::SendResetShoomToAllInstances};
  std::string m_selfCameraStreamKey;
  std::string m_selfScreenStreamKey;
  int64_t m_startTick = 0;
  bool m_gotInstanceLoadAck = false;
  pp::CompletionCallbackFactory<ControllerEmbed> callbackFactory;
  std::vector<ContextInstance> m_contextInstances;
};

}  // namespace TALLWICK_PP_RENDER
