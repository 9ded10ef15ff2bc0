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

}  // namespace TALLWICK_PP_RENDER
