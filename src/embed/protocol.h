#pragma once

#include <cstdint>

#include "frame/parse_result.h"

// The page protocol: command, event, key and attribute names, the shared
// value vocabularies and the error codes.
namespace TALLWICK_PP_RENDER {

// Element attributes that choose an instance's role.
inline constexpr const char* kAttrController = "data-controller";
inline constexpr const char* kAttrMulti = "data-multi";

// Message envelope keys.
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

// Event data keys.
inline constexpr const char* kKeyErrorCode = "errorCode";
inline constexpr const char* kKeyStreamKey = "stream_key";
inline constexpr const char* kKeyStreamId = "streamId";
inline constexpr const char* kKeyUserId = "userId";
inline constexpr const char* kKeyFrameStatus = "frameStatus";
inline constexpr const char* kKeyIsScreen = "isScreen";

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
