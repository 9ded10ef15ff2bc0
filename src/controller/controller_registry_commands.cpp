// ControllerEmbed's page side of the segment registry (the class is in
// controller_embed.h): the two commands, their log lines, and the
// "RESET_SHOOM" notice the registry sends on every add.
#include <utility>
#include <vector>

#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "embed/native_message_receiver.h"
#include "embed/protocol.h"
#include "frame/frame_layout.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LogAt;

namespace {

ShareMemoryDiff ReadDiff(const pp::VarDictionary& item) {
  ShareMemoryDiff diff;
  diff.path = item.Get(kKeyPath).AsString();
  diff.uid = item.Get(kKeyUid).AsString();
  diff.sid = item.Get(kKeySid).AsString();
  diff.bufferSize = item.Get(kKeyBufferSize).AsInt();
  diff.bufferNumber = item.Get(kKeyBufferNumber).AsInt();
  diff.isScreen = item.Get(kKeyIsScreen).AsBool();
  diff.isMerge = item.Get(kKeyIsMerge).AsBool();
  diff.frameFormat = item.Get(kKeyFrameFormat).AsInt();
  return diff;
}

pp::VarDictionary DiffReply(const ShareMemoryDiff& diff) {
  pp::VarDictionary item;
  item.Set(kKeyPath, diff.path);
  item.Set(kKeyUid, diff.uid);
  item.Set(kKeySid, diff.sid);
  item.Set(kKeyBufferSize, static_cast<int32_t>(diff.bufferSize));
  item.Set(kKeyBufferNumber, static_cast<int32_t>(diff.bufferNumber));
  item.Set(kKeyIsScreen, diff.isScreen);
  item.Set(kKeyIsMerge, diff.isMerge);
  return item;
}

}  // namespace

int32_t ControllerEmbed::HandleDoUpdateShareMemory(const pp::VarDictionary& data) {
  const int32_t op = data.Get(kKeyOp).AsInt();
  const pp::VarArray items(data.Get(kKeyDiffs));
  std::vector<ShareMemoryDiff> diffs;
  for (uint32_t i = 0; i < items.GetLength(); ++i) {
    ShareMemoryDiff diff = ReadDiff(pp::VarDictionary(items.Get(i)));
    if (diff.frameFormat == tallwick::frame::kFormatRGBA) {
      LogAt(kLevelInfo,
            "ControllerEmbed::HandleDoUpdateShareMemory, framedata is RGBA, continue next one, sid: {}, uid: {}, "
            "path: {}",
            diff.sid, diff.uid, diff.path);
      continue;
    }
    diffs.push_back(std::move(diff));
  }
  return DoUpdateSharedMemory(op, diffs);
}

int32_t ControllerEmbed::DoUpdateSharedMemory(int32_t op, const std::vector<ShareMemoryDiff>& diffs) {
  LogAt(kLevelInfo, "[ControllerEmbed] DoUpdateSharedMemory - op: {}, diff size: {}", op, diffs.size());
  if (op == kShareMemoryOpClear) {
    const size_t oldSize = registry_.Size();
    registry_.Clear();
    LogAt(kLevelInfo, "[ControllerEmbed] doUpdateShareMemory - clear all share memories, old size: {} ", oldSize);
    return kErrorNone;
  }
  for (const ShareMemoryDiff& diff : diffs) {
    if (op == kShareMemoryOpAdd) {
      AddShareMemoryDiff(diff);
    } else if (op == kShareMemoryOpRemove) {
      RemoveShareMemoryDiff(diff);
    }
    LogAt(kLevelInfo,
          "[ControllerEmbed] done doUpdateShareMemory - op: {}, sid: {}, uid: {}, bufferSize: {}, isScreen: {}, now "
          "size: {}, path: {}",
          op, diff.sid, diff.uid, diff.bufferSize, diff.isScreen, registry_.Size(), diff.path);
  }
  return kErrorNone;
}

// The registry sends the "RESET_SHOOM" notice before it stores the record, so
// the instances' log lines come before the "add" line.
void ControllerEmbed::AddShareMemoryDiff(const ShareMemoryDiff& diff) {
  const std::string key = registry_.Add(diff);
  LogAt(kLevelInfo,
        "[ControllerEmbed] doUpdateShareMemory - add shareMemoryDiff, sid: {}, path: {}, key: {} format: {}", diff.sid,
        diff.path, key, diff.frameFormat);
}

void ControllerEmbed::RemoveShareMemoryDiff(const ShareMemoryDiff& diff) {
  const std::string key = registry_.Remove(diff);
  LogAt(kLevelInfo, "[ControllerEmbed] doUpdateShareMemory - remove shareMemoryDiff, sid: {}, key: {}", diff.sid, key);
}

// Every instance of the module, whatever its role, in ascending handle order,
// synchronously. The handles are taken first and looked up again before each
// delivery, so an instance that goes away meanwhile is skipped.
void ControllerEmbed::SendResetShoomToAllInstances(const std::string& streamKey) {
  pp::Module* module = pp::Module::Get();
  if (module == nullptr) return;
  pp::VarDictionary data;
  data.Set(kKeyStreamKey, streamKey);
  pp::VarDictionary message;
  message.Set(kKeyCommand, kCmdResetShoom);
  message.Set(kKeyData, data);

  std::vector<PP_Instance> handles;
  for (const auto& entry : module->current_instances()) handles.push_back(entry.first);
  for (PP_Instance handle : handles) {
    auto* receiver = dynamic_cast<NativeMessageReceiver*>(module->InstanceForPPInstance(handle));
    if (receiver != nullptr) receiver->HandleNativeMessage(message);
  }
}

pp::VarDictionary ControllerEmbed::HandleGetShareMemoryDiffs(const pp::VarDictionary& /*data*/) {
  pp::VarDictionary reply;
  for (const ShareMemoryDiff& diff : registry_.Dump()) reply.Set(diff.sid, DiffReply(diff));
  return reply;
}

}  // namespace TALLWICK_PP_RENDER
