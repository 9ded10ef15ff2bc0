#include "embed/frame_status_event.h"

#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

pp::VarDictionary FrameStatusData(const std::string& sid, const std::string& uid, const char* status) {
  pp::VarDictionary data;
  data.Set(kKeyStreamId, sid);
  data.Set(kKeyUserId, uid);
  data.Set(kKeyFrameStatus, status);
  return data;
}

pp::VarDictionary FrameErrorData(int32_t code, const std::string& sid) {
  pp::VarDictionary data;
  data.Set(kKeyErrorCode, code);
  data.Set(kKeyStreamId, sid);
  return data;
}

}  // namespace TALLWICK_PP_RENDER
