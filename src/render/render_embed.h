#pragma once

#include <string>

#include "embed/i_embed.h"
#include "embed/pong_heartbeat.h"
#include "host/completion_callback_factory.h"

namespace TALLWICK_PP_RENDER {

// The role of an element that shows one stream.
class RenderEmbed : public IEmbed {
 public:
  RenderEmbed();
  ~RenderEmbed() override;

  void DidChangeView(const pp::View& view) override;

 private:
  // Back to the state after construction: no stream, loop stopped.
  int32_t HandleReset(const pp::VarDictionary& data);

  pp::View view;
  std::string sid;
  std::string uid;
  std::string uuid;
  bool isScreen = false;
  bool isPreview = false;
  bool isSelf = false;

  pp::CompletionCallbackFactory<RenderEmbed> callbackFactory{this};
  PongHeartbeat pong{this};
};

}  // namespace TALLWICK_PP_RENDER
