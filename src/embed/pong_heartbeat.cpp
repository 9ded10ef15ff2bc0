#include "embed/pong_heartbeat.h"

#include "embed/i_embed.h"
#include "embed/protocol.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

void PongHeartbeat::PostPong(int32_t intervalMs) {
  if (intervalMs < 0) return;  // aborted by the browser
  role_->PostEvent(kEvtPong);
  pp::Module* module = pp::Module::Get();
  if (module != nullptr && module->core() != nullptr) {
    module->core()->CallOnMainThread(intervalMs, factory_.NewCallback(&PongHeartbeat::PostPong), intervalMs);
  }
}

}  // namespace TALLWICK_PP_RENDER
