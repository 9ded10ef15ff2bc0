#pragma once

#include <cstdint>

#include "frame/parse_result.h"

// The page protocol: command, event, key and attribute names, the shared
// value vocabularies and the error codes.
namespace TALLWICK_PP_RENDER {

// Element attributes that choose an instance's role.
inline constexpr const char* kAttrController = "data-controller";
inline constexpr const char* kAttrMulti = "data-multi";

// Message envelope keys. "uuid" is also a render element's name in its "INIT".
inline constexpr const char* kKeyCommand = "command";
inline constexpr const char* kKeyData = "data";
inline constexpr const char* kKeyCustom = "custom";
inline constexpr const char* kKeyResponse = "response";
inline constexpr const char* kKeyError = "error";
inline constexpr const char* kKeyUuid = "uuid";

// Commands from the page (and, for "RESET_SHOOM", from the controller).
inline constexpr const char* kCmdInit = "INIT";
inline constexpr const char* kCmdReset = "RESET";
inline constexpr const char* kCmdGetPid = "GET_PID";
inline constexpr const char* kCmdSetProcessTitle = "SET_PROCESS_TITLE";
inline constexpr const char* kCmdSetFrameInfoInterval = "SET_FRAME_INFO_INTERVAL";
inline constexpr const char* kCmdSetMeetingInfo = "SET_MEETING_INFO";
inline constexpr const char* kCmdDoUpdateSharedMemory = "DO_UPDATE_SHARED_MEMORY";
inline constexpr const char* kCmdGetSharedMemoryDiffs = "GET_SHARED_MEMORY_DIFFS";
inline constexpr const char* kCmdStartRender = "START_RENDER";
inline constexpr const char* kCmdStopRender = "STOP_RENDER";
inline constexpr const char* kCmdHideCursor = "HIDE_CURSOR";
inline constexpr const char* kCmdShowCursor = "SHOW_CURSOR";
inline constexpr const char* kCmdResetShoom = "RESET_SHOOM";
inline constexpr const char* kCmdGetFrameCount = "GET_FRAME_COUNT";
inline constexpr const char* kCmdClearBuffer = "CLEAR_BUFFER";
inline constexpr const char* kCmd3DContextLost = "3D_CONTEXT_LOST";
inline constexpr const char* kCmdUpdateMultiInfos = "UPDATE_MULTI_INFOS";

// "op" values of "DO_UPDATE_SHARED_MEMORY"; any other value changes nothing.
inline constexpr int32_t kShareMemoryOpAdd = 0;
inline constexpr int32_t kShareMemoryOpRemove = 1;
inline constexpr int32_t kShareMemoryOpClear = 2;

// Events the module posts.
inline constexpr const char* kEvtInstanceLoaded = "INSTANCE_LOADED";
inline constexpr const char* kEvtMouseUp = "MOUSE_UP";
inline constexpr const char* kEvtError = "ERROR";
inline constexpr const char* kEvtPong = "PONG";
inline constexpr const char* kEvtRenderStarted = "RENDER_STARTED";
inline constexpr const char* kEvtRenderStopped = "RENDER_STOPPED";
inline constexpr const char* kEvtNeedResize = "NEED_RESIZE";
inline constexpr const char* kEvtRenderFrameStatusChange = "RENDER_FRAME_STATUS_CHANGE";
inline constexpr const char* kEvtMultiFrameStatusChange = "MULTI_FRAME_STATUS_CHANGE";
inline constexpr const char* kEvtMultiRenderStarted = "MULTI_RENDER_STARTED";

// "INIT" keys that more than one role reads.
inline constexpr const char* kKeyLogPath = "logPath";
inline constexpr const char* kKeyLogVersion = "logVersion";
inline constexpr const char* kKeyFps = "fps";
inline constexpr const char* kKeyDpr = "dpr";
inline constexpr const char* kKeyRenderExceptionThreshold = "renderExceptionThreshold";
inline constexpr const char* kKeyEnableHighPerformanceGPU = "enableHighPerformanceGPU";
inline constexpr const char* kKeyEnablePPAPIRedExt = "enablePPAPIRedExt";

// The controller's "INIT" and the data and replies of its other commands.
inline constexpr const char* kKeyCrashHandlerPath = "crashHandlerPath";
inline constexpr const char* kKeyPid = "pid";
inline constexpr const char* kKeyTitle = "title";
inline constexpr const char* kKeySelfSid = "selfSid";
inline constexpr const char* kKeySelfUid = "selfUid";

// "DO_UPDATE_SHARED_MEMORY" and a registry record, which is also a value of
// the "GET_SHARED_MEMORY_DIFFS" reply (without "frameFormat"). "uid", "sid",
// "isScreen" and "isMerge" name the single-stream element's stream too.
inline constexpr const char* kKeyOp = "op";
inline constexpr const char* kKeyDiffs = "diffs";
inline constexpr const char* kKeyPath = "path";
inline constexpr const char* kKeyUid = "uid";
inline constexpr const char* kKeySid = "sid";
inline constexpr const char* kKeyBufferSize = "bufferSize";
inline constexpr const char* kKeyBufferNumber = "bufferNumber";
inline constexpr const char* kKeyIsScreen = "isScreen";
inline constexpr const char* kKeyIsMerge = "isMerge";
inline constexpr const char* kKeyFrameFormat = "frameFormat";

// The single-stream element's "INIT" (with the stream keys above) and
// "SHOW_CURSOR". "isSelf" is a gallery tile's key as well.
inline constexpr const char* kKeyIsPreview = "isPreview";
inline constexpr const char* kKeyIsLocalScreen = "isLocalScreen";
inline constexpr const char* kKeyIsSelf = "isSelf";
inline constexpr const char* kKeyCursorType = "cursorType";

// The gallery's "INIT" (its clear colour) and "UPDATE_MULTI_INFOS": the list,
// a tile and the tile's "renderConfig", whose "backgroundColor" is the tile's
// own. "userId" and "streamId" come back in the tile's events; "width" and
// "height" are also frame and tile sizes in events and replies.
inline constexpr const char* kKeyBackgroundColor = "backgroundColor";
inline constexpr const char* kKeyRenderInfos = "renderInfos";
inline constexpr const char* kKeyUserId = "userId";
inline constexpr const char* kKeyStreamId = "streamId";
inline constexpr const char* kKeyStreamType = "streamType";
inline constexpr const char* kKeyRenderConfig = "renderConfig";
inline constexpr const char* kKeyLeft = "left";
inline constexpr const char* kKeyTop = "top";
inline constexpr const char* kKeyWidth = "width";
inline constexpr const char* kKeyHeight = "height";
inline constexpr const char* kKeyRenderMode = "renderMode";
inline constexpr const char* kKeyIsMirror = "isMirror";

// The data of the controller's "RESET_SHOOM" notice.
inline constexpr const char* kKeyStreamKey = "stream_key";

// Event data keys, besides the stream's "streamId", "userId" and "isScreen":
// "ERROR", the frame-status events and "NEED_RESIZE" (with the frame's
// "width" and "height").
inline constexpr const char* kKeyErrorCode = "errorCode";
inline constexpr const char* kKeyFrameStatus = "frameStatus";
inline constexpr const char* kKeyPlanS0 = "planS0";
inline constexpr const char* kKeyPlanS1 = "planS1";
inline constexpr const char* kKeyPlanS2 = "planS2";
inline constexpr const char* kKeyRotation = "rotation";
inline constexpr const char* kKeyFrameId = "frameId";
inline constexpr const char* kKeyFlip = "flip";

// A stream's entry in a "GET_FRAME_COUNT" reply, with the frame's "width" and
// "height".
inline constexpr const char* kKeyViewWidth = "viewWidth";
inline constexpr const char* kKeyViewHeight = "viewHeight";
inline constexpr const char* kKeyFrameCount = "frameCount";
inline constexpr const char* kKeyTimestamp = "timestamp";

// Stream kinds.
inline constexpr const char* kStreamCamera = "CAMERA";
inline constexpr const char* kStreamScreen = "SCREEN";
inline constexpr const char* kStreamLocalScreen = "LOCAL_SCREEN";
inline constexpr const char* kStreamPreview = "PREVIEW";
inline constexpr const char* kStreamMerge = "MERGE";

// Frame statuses.
inline constexpr const char* kFrameStatusNormal = "NORMAL_FRAME";
inline constexpr const char* kFrameStatusNone = "NO_FRAME";

// Error codes of replies and "ERROR" events.
enum ErrorCode : int32_t {
  kErrorNone = 0,
  kErrorReset = 1,
  kErrorUpdateShareMemory = 2,
  kErrorInvalidCommand = 3,
  kErrorInstanceTypeMismatch = 4,
  kErrorShareMemoryNotFound = 5,
  kErrorRenderingStarted = 6,
  kErrorRenderingStopped = 7,
  kErrorAlreadyInited = 8,
  kErrorNotInited = 9,
  kErrorSetCursor = 10,
  kErrorStartRender = 11,
  kErrorStopRender = 12,
  kErrorOpenShoom = 13,
  kErrorResizeBuffer = 14,
  kErrorCompileShader = 15,
  kErrorLinkShader = 16,
  kErrorBindGraphics = 17,
  kErrorInitPpapi = 18,
  kErrorInitTexture = 19,
  kErrorContextLost = 20,
  kErrorUnknown21 = 21,
  kErrorFrameDataNull = kVideoFrameDataNull,
  kErrorFrameUpdating = kVideoFrameUpdating,
  kErrorFrameUndrawable = kVideoFrameUndrawable,
};

// The fixed description of a code; "unknown" for codes without one.
const char* ErrorText(int32_t code);

}  // namespace TALLWICK_PP_RENDER
