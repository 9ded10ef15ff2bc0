#pragma once

#include <string>

#include "embed/i_embed.h"
#include "embed/pong_heartbeat.h"
#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

// The role of an element that shows many streams as tiles.
class GalleryRenderEmbed : public IEmbed {
 public:
  GalleryRenderEmbed();
  ~GalleryRenderEmbed() override;

  void DidChangeView(const pp::View& view) override;

 private:
  std::string uuid;
  pp::View view;

  pp::CompletionCallbackFactory<GalleryRenderEmbed> callbackFactory{this};
  PongHeartbeat pong{this};
};

}  // namespace TALLWICK_PP_RENDER
