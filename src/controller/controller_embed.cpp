#include "controller/controller_embed.h"

#include <algorithm>

#include "common/clock.h"
#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "controller/crash_manager.h"
#include "controller/process_info.h"
#include "embed/protocol.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

namespace {

constexpr int32_t kFirstCheckDelayMs = 100;
constexpr int32_t kCheckIntervalMs = 200;
constexpr int64_t kHandshakeLimitMs = 5000;

}  // namespace

ControllerEmbed::ControllerEmbed() : callbackFactory(this) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::ControllerEmbed");
  RegisterCommands();
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[ControllerEmbed] this[{:#08x}] controller instance construct",
        TALLWICK_LOG::ObjectAddress(this));
  TALLWICK_LOG::DebugTrace(L"controller instance construct...%08x",
                           static_cast<unsigned>(TALLWICK_LOG::ObjectAddress(this)));
}

ControllerEmbed::~ControllerEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::~ControllerEmbed");
}

void ControllerEmbed::RegisterCommands() {
  RegisterDictionary(kCmdGetPid, &ControllerEmbed::HandleGetPid);
  RegisterCode(kCmdInit, &ControllerEmbed::HandleInit);
  RegisterCode(kCmdReset, &ControllerEmbed::HandleReset);
  RegisterCode(kCmdSetProcessTitle, &ControllerEmbed::HandleSetProcessTitle);
  RegisterNoOp(kCmdSetFrameInfoInterval);
  RegisterCode(kCmdSetMeetingInfo, &ControllerEmbed::SetMeetingInfo);
  RegisterCode(kCmdDoUpdateSharedMemory, &ControllerEmbed::HandleDoUpdateShareMemory);
  RegisterDictionary(kCmdGetSharedMemoryDiffs, &ControllerEmbed::HandleGetShareMemoryDiffs);
}

void ControllerEmbed::SetContextInstance(pp::Instance* instance) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::ControllerEmbed::SetContextInstance");
  m_startTick = TALLWICK_COMMON::NowMs();
  // Elements destroyed since are forgotten here, so that a page that makes
  // and removes controller elements does not grow the list for good.
  m_contextInstances.erase(std::remove_if(m_contextInstances.begin(), m_contextInstances.end(),
                                          [](const ContextInstance& entry) { return !IsAlive(entry); }),
                           m_contextInstances.end());
  m_contextInstances.emplace_back(instance, instance->pp_instance());
  if (pp::Module* module = pp::Module::Get()) {
    module->core()->CallOnMainThread(
        kFirstCheckDelayMs, callbackFactory.NewCallback(&ControllerEmbed::CheckInstanceLoadAck), kCheckIntervalMs);
  }
}

void ControllerEmbed::CheckInstanceLoadAck(int32_t result) {
  if (result < 0) return;  // the browser dropped the timer
  if (m_gotInstanceLoadAck) {
    LogAt(kLevelInfo,
          "[ControllerEmbed] this[{:#08x}] stop retry to check connectivity cos already got his instance-load ack",
          TALLWICK_LOG::ObjectAddress(this));
    return;
  }
  const int64_t elapsed = TALLWICK_COMMON::NowMs() - m_startTick;
  if (elapsed > kHandshakeLimitMs) {
    LogAt(TALLWICK_LOG::kLevelError, "[ControllerEmbed] this[{:#08x}] didn't got his instance-load ack, elapsed:{}",
          TALLWICK_LOG::ObjectAddress(this), elapsed);
    return;
  }
  pp::VarDictionary loaded;
  loaded.Set(kKeyCommand, kEvtInstanceLoaded);
  PostToContextInstances(loaded);
  LogAt(kLevelInfo, "[ControllerEmbed] this[{:#08x}] instance's waiting his instance-load ack, elapsed:{}",
        TALLWICK_LOG::ObjectAddress(this), elapsed);
  if (pp::Module* module = pp::Module::Get()) {
    module->core()->CallOnMainThread(result, callbackFactory.NewCallback(&ControllerEmbed::CheckInstanceLoadAck),
                                     kCheckIntervalMs);
  }
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

void ControllerEmbed::SetSelfCameraKey(const std::string& key) {
  LogAt(kLevelInfo, "[ControllerEmbed] SetSelfCameraKey: {}->{} ", m_selfCameraStreamKey, key);
  m_selfCameraStreamKey = key;
}

void ControllerEmbed::SetSelfScreenKey(const std::string& key) {
  LogAt(kLevelInfo, "[ControllerEmbed] SetSelfScreenKey: {}->{}", m_selfScreenStreamKey, key);
  m_selfScreenStreamKey = key;
}

pp::VarDictionary ControllerEmbed::HandleGetPid(const pp::VarDictionary& /*data*/) {
  pp::VarDictionary reply;
  reply.Set(kKeyPid, CurrentProcessId());
  return reply;
}

int32_t ControllerEmbed::HandleInit(const pp::VarDictionary& data) {
  const std::string logPath = data.Get(kKeyLogPath).AsString();
  const int32_t logVersion = data.Get(kKeyLogVersion).AsInt();
  const std::string crashHandlerPath = data.Get(kKeyCrashHandlerPath).AsString();
  TALLWICK_LOG::LogInstance::GetInstance()->Create(logVersion, logPath, kModuleTag, kModuleTag);
  LogAt(kLevelInfo, "[ControllerEmbed] init ppapi render - process id:{}", CurrentProcessId());
  LogAt(kLevelInfo, "[ControllerEmbed] crashHandlerPath len: {}", crashHandlerPath.size());
  {
    ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Init");
    CrashManager::GetInstance()->Init(crashHandlerPath, logPath, logPath, logVersion);
  }
  if (m_selfCameraStreamKey.empty()) SetSelfCameraKey(MakeStreamKey("", false, false));
  if (m_selfScreenStreamKey.empty()) SetSelfScreenKey(MakeStreamKey("", true, false));
  LogAt(kLevelInfo, "[ControllerEmbed] initial m_selfCameraStreamKey={} m_selfScreenStreamKey={}",
        m_selfCameraStreamKey, m_selfScreenStreamKey);
  LogAt(kLevelInfo, "[ControllerEmbed] >>>>>>> Instance Inited <<<<<<<<<, logVersion: {}", logVersion);
  return kErrorNone;
}

int32_t ControllerEmbed::HandleReset(const pp::VarDictionary& /*data*/) { return kErrorNone; }

int32_t ControllerEmbed::HandleSetProcessTitle(const pp::VarDictionary& data) {
  SetProcessTitle(data.Get(kKeyTitle).AsString());
  return kErrorNone;
}

int32_t ControllerEmbed::SetMeetingInfo(const pp::VarDictionary& data) {
  const std::string selfSid = data.Get(kKeySelfSid).AsString();
  const std::string selfUid = data.Get(kKeySelfUid).AsString();
  LogAt(kLevelInfo, "[ControllerEmbed] SetMeetingInfo - selfSid: {}, selfUid: {}", selfSid, selfUid);
  SetSelfCameraKey(MakeStreamKey(selfUid, false, false));
  SetSelfScreenKey(MakeStreamKey(selfUid, true, false));
  return kErrorNone;
}

}  // namespace TALLWICK_PP_RENDER
