#pragma once

#include <cstdint>
#include <string>

#include "host/var_dictionary.h"

namespace TALLWICK_PP_RENDER {

// The data of a stream's frame-status event, "RENDER_FRAME_STATUS_CHANGE" of
// the single-stream role or "MULTI_FRAME_STATUS_CHANGE" of the gallery:
// "streamId", "userId" and "frameStatus" ("NORMAL_FRAME" or "NO_FRAME").
pp::VarDictionary FrameStatusData(const std::string& sid, const std::string& uid, const char* status);

// The data of an "ERROR" event about one stream's frames: "errorCode" and
// the stream's "streamId".
pp::VarDictionary FrameErrorData(int32_t code, const std::string& sid);

}  // namespace TALLWICK_PP_RENDER
