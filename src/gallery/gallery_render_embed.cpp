#include "gallery/gallery_render_embed.h"

#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

namespace {
constexpr int32_t kPongIntervalMs = 1000;
}  // namespace

GalleryRenderEmbed::GalleryRenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::GalleryRenderEmbed::GalleryRenderEmbed");
  const auto self = reinterpret_cast<uintptr_t>(this);
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] gallery instance construct", uuid,
        self);
  TALLWICK_LOG::DebugTrace(L"GalleryRenderEmbed instance construct...%08x", static_cast<unsigned>(self));
  pong.PostPong(kPongIntervalMs);
}

GalleryRenderEmbed::~GalleryRenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::GalleryRenderEmbed::~GalleryRenderEmbed");
  LogAt(TALLWICK_LOG::kLevelLifecycle,
        "[GalleryRenderEmbed] uuid:{} this[{:#08x}] gallery instance destroyed, uuid: {}", uuid,
        reinterpret_cast<uintptr_t>(this), uuid);
  uuid.clear();
  pong.Stop();
  callbackFactory.CancelAll();
}

void GalleryRenderEmbed::DidChangeView(const pp::View& newView) { view = newView; }

}  // namespace TALLWICK_PP_RENDER
