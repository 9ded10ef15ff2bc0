#include "render/render_embed.h"

#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

namespace {
constexpr int32_t kPongIntervalMs = 1000;
}  // namespace

RenderEmbed::RenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::RenderEmbed::RenderEmbed");
  const auto self = reinterpret_cast<uintptr_t>(this);
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[RenderEmbed] uuid:{} this[{:#08x}] render instance construct", uuid, self);
  TALLWICK_LOG::DebugTrace(L"render instance construct...%08x", static_cast<unsigned>(self));
  HandleReset(pp::VarDictionary());
  pong.PostPong(kPongIntervalMs);
}

RenderEmbed::~RenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::RenderEmbed::~RenderEmbed");
  const auto self = reinterpret_cast<uintptr_t>(this);
  LogAt(TALLWICK_LOG::kLevelInfo,
        "[RenderEmbed] uuid:{} this[{:#08x}] >>>>>>> RenderEmbed destroyed <<<<<<< - sid: {}, isPreview: {}, "
        "isScreen: {}, isSelf: {} uuid: {}",
        uuid, self, sid, isPreview, isScreen, isSelf, uuid);
  HandleReset(pp::VarDictionary());
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[RenderEmbed] uuid:{} this[{:#08x}] render instance destroyed", uuid, self);
  pong.Stop();
  callbackFactory.CancelAll();
}

void RenderEmbed::DidChangeView(const pp::View& newView) { view = newView; }

int32_t RenderEmbed::HandleReset(const pp::VarDictionary& /*data*/) {
  sid.clear();
  uid.clear();
  isScreen = false;
  isPreview = false;
  isSelf = false;
  return kErrorNone;
}

}  // namespace TALLWICK_PP_RENDER
