#include "module/mediator_instance.h"

#include <cstring>

#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "controller/controller_embed.h"
#include "embed/protocol.h"
#include "host/ppapi/ppb_input_event.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

namespace {

// The parts of a request: its command, data and custom values, and the
// request identifier (a string "uuid" inside a dictionary "custom").
struct Request {
  explicit Request(const pp::Var& message) : envelope(message) {
    command = envelope.Get(kKeyCommand);
    data = pp::VarDictionary(envelope.Get(kKeyData));
    custom = envelope.Get(kKeyCustom);
    if (custom.is_dictionary()) {
      const pp::Var uuid = pp::VarDictionary(custom).Get(kKeyUuid);
      if (uuid.is_string()) requestId = uuid.AsString();
    }
  }

  pp::VarDictionary envelope;
  pp::Var command;
  pp::VarDictionary data;
  pp::Var custom;
  std::string requestId;
};

}  // namespace

MediatorInstance::MediatorInstance(PP_Instance instance) : pp::Instance(instance), pp::Graphics3DClient(this) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::MediatorInstance::MediatorInstance");
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[MediatorInstance] this[{:#08x}] MediatorInstance construct",
        TALLWICK_LOG::ObjectAddress(this));
}

MediatorInstance::~MediatorInstance() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::MediatorInstance::~MediatorInstance");
  LogAt(TALLWICK_LOG::kLevelInfo, "[MediatorInstance] this[{:#08x}] MediatorInstance destroyed, rendertype: {}",
        TALLWICK_LOG::ObjectAddress(this), renderType_);
}

bool MediatorInstance::Init(uint32_t argc, const char* argn[], const char* /*argv*/[]) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::MediatorInstance::Init");
  renderType_ = kRenderTypeSingle;
  for (uint32_t i = 0; i < argc && renderType_ == kRenderTypeSingle; ++i) {
    if (argn[i] == nullptr) continue;
    if (std::strcmp(argn[i], kAttrController) == 0) {
      ControllerEmbed::GetInstance()->SetContextInstance(this);
      renderType_ = kRenderTypeController;
    } else if (std::strcmp(argn[i], kAttrMulti) == 0) {
      renderType_ = kRenderTypeGallery;
      galleryRender_.SetInstance(this);
    }
  }
  if (renderType_ != kRenderTypeController) {
    if (renderType_ == kRenderTypeSingle) render_.SetInstance(this);
    RequestInputEvents(PP_INPUTEVENT_CLASS_MOUSE);
    LogAt(TALLWICK_LOG::kLevelInfo, "[MediatorInstance] this[{:#08x}] init - renderType:{} renderInstance:[{:#08x}]",
          TALLWICK_LOG::ObjectAddress(this), renderType_, TALLWICK_LOG::ObjectAddress(SelectedRole()));
  }
  pp::VarDictionary loaded;
  loaded.Set(kKeyCommand, kEvtInstanceLoaded);
  PostMessage(loaded);
  return true;
}

IEmbed* MediatorInstance::SelectedRole() {
  switch (renderType_) {
    case kRenderTypeSingle:
      return &render_;
    case kRenderTypeGallery:
      return &galleryRender_;
    case kRenderTypeController:
      return ControllerEmbed::GetInstance();
    default:
      return nullptr;
  }
}

bool MediatorInstance::Dispatch(const std::string& command, const pp::VarDictionary& data,
                                MessageHandleResult* result) {
  if (renderType_ == kRenderTypeController) {
    *result = ControllerEmbed::GetInstance()->HandleControllerMessage(command, data);
    return true;
  }
  IEmbed* role = SelectedRole();
  if (role == nullptr) return false;
  *result = role->HandleMessage(command, data);
  return true;
}

void MediatorInstance::HandleMessage(const pp::Var& message) {
  const Request request(message);
  const std::string command = request.command.AsString();
  LogAt(TALLWICK_LOG::kLevelInfo, "[MediatorInstance] this[{:#08x}] Incoming message render:{} command:{} requestId:{}",
        TALLWICK_LOG::ObjectAddress(this), renderType_, command, request.requestId);
  MessageHandleResult result;
  if (!Dispatch(command, request.data, &result)) return;

  pp::VarDictionary reply;
  reply.Set(kKeyResponse, request.command);
  reply.Set(kKeyError, result.code);
  reply.Set(kKeyData, result.data);
  reply.Set(kKeyCustom, request.custom);
  PostMessage(reply);
}

void MediatorInstance::HandleNativeMessage(const pp::Var& message) {
  const Request request(message);
  const std::string command = request.command.AsString();
  LogAt(TALLWICK_LOG::kLevelInfo, "[MediatorInstance] this[{:#08x}] Incoming native message - command: {}",
        TALLWICK_LOG::ObjectAddress(this), command);
  MessageHandleResult ignored;
  Dispatch(command, request.data, &ignored);
}

void MediatorInstance::DidChangeView(const pp::View& view) {
  if (IEmbed* role = SelectedRole()) role->DidChangeView(view);
}

bool MediatorInstance::HandleInputEvent(const pp::InputEvent& event) {
  if (event.GetType() != PP_INPUTEVENT_TYPE_MOUSEUP) return false;
  pp::VarDictionary mouseUp;
  mouseUp.Set(kKeyCommand, kEvtMouseUp);
  PostMessage(mouseUp);
  return true;
}

void MediatorInstance::Graphics3DContextLost() {
  pp::VarDictionary data;
  data.Set(kKeyErrorCode, static_cast<int32_t>(kErrorContextLost));
  pp::VarDictionary error;
  error.Set(kKeyCommand, kEvtError);
  error.Set(kKeyData, data);
  PostMessage(error);
  LogAt(TALLWICK_LOG::kLevelError, "[MediatorInstance] this[{:#08x}] Graphics3DContextLost",
        TALLWICK_LOG::ObjectAddress(this));
}

}  // namespace TALLWICK_PP_RENDER
