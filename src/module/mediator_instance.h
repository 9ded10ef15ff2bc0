#pragma once

#include <cstdint>

#include "embed/i_embed.h"
#include "embed/native_message_receiver.h"
#include "gallery/gallery_render_embed.h"
#include "host/graphics_3d_client.h"
#include "host/instance.h"
#include "render/render_embed.h"

namespace TALLWICK_PP_RENDER {

enum RenderType : int32_t {
  kRenderTypeNone = 0,
  kRenderTypeSingle = 1,
  kRenderTypeGallery = 2,
  kRenderTypeController = 3,
};

// The plug-in instance: picks a role from the element's attributes at start,
// then hands every message, view change and input event to it.
class MediatorInstance : public pp::Instance, public pp::Graphics3DClient, public NativeMessageReceiver {
 public:
  explicit MediatorInstance(PP_Instance instance);
  ~MediatorInstance() override;

  bool Init(uint32_t argc, const char* argn[], const char* argv[]) override;
  using pp::Instance::DidChangeView;
  void DidChangeView(const pp::View& view) override;
  bool HandleInputEvent(const pp::InputEvent& event) override;
  void HandleMessage(const pp::Var& message) override;
  void Graphics3DContextLost() override;

  // A message from the module itself (the controller's "RESET_SHOOM"): no reply.
  void HandleNativeMessage(const pp::Var& message) override;

  int32_t GetRenderType() const { return renderType_; }

 private:
  // Runs the command on the selected role; false while there is no role.
  bool Dispatch(const std::string& command, const pp::VarDictionary& data, MessageHandleResult* result);
  IEmbed* SelectedRole();

  GalleryRenderEmbed galleryRender_;
  RenderEmbed render_;
  int32_t renderType_ = kRenderTypeNone;
};

}  // namespace TALLWICK_PP_RENDER
