#pragma once

#include <cstdint>

#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

class IEmbed;

// The period of the render roles' heartbeat.
inline constexpr int32_t kPongIntervalMs = 1000;

// The render roles' once-a-second "PONG": posts at once, then again every
// interval for as long as it lives. Posts of a role without an instance are
// dropped by the role.
class PongHeartbeat {
 public:
  explicit PongHeartbeat(IEmbed* role) : role_(role), factory_(this) {}

  PongHeartbeat(const PongHeartbeat&) = delete;
  PongHeartbeat& operator=(const PongHeartbeat&) = delete;

  // Posts now and re-arms with `intervalMs` passed along as the callback result.
  void PostPong(int32_t intervalMs);

  // Drops the pending timer (the owner is going away).
  void Stop() { factory_.CancelAll(); }

 private:
  IEmbed* role_;
  pp::CompletionCallbackFactory<PongHeartbeat> factory_;
};

}  // namespace TALLWICK_PP_RENDER
