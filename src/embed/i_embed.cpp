#include "embed/i_embed.h"

#include "common/log_instance.h"
#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

void IEmbed::DidChangeView(const pp::View& /*view*/) {}

MessageHandleResult IEmbed::HandleMessage(const std::string& command, const pp::VarDictionary& data) {
  const auto found = m_handlers.find(command);
  if (found == m_handlers.end()) {
    TALLWICK_LOG::LogAt(TALLWICK_LOG::kLevelWarning, "Goddamit! Command not found - command: {}", command);
    MessageHandleResult result;
    result.code = kErrorInvalidCommand;
    return result;
  }
  return found->second(data);
}

void IEmbed::PostMessage(const pp::Var& message) {
  if (m_instance != nullptr) m_instance->PostMessage(message);
}

void IEmbed::PostEvent(const char* event) {
  if (m_instance == nullptr) return;  // nobody would hear it
  pp::VarDictionary message;
  message.Set(kKeyCommand, event);
  PostMessage(message);
}

void IEmbed::PostEvent(const char* event, const pp::VarDictionary& data) {
  if (m_instance == nullptr) return;
  pp::VarDictionary message;
  message.Set(kKeyCommand, event);
  message.Set(kKeyData, data);
  PostMessage(message);
}

}  // namespace TALLWICK_PP_RENDER
