#pragma once

#include <functional>
#include <string>
#include <unordered_map>

#include "host/instance.h"
#include "host/var_dictionary.h"
#include "host/view.h"

namespace TALLWICK_PP_RENDER {

// What a command handler answers: an error code (0 = success) and the
// reply's data dictionary.
struct MessageHandleResult {
  int32_t code = 0;
  pp::VarDictionary data;
};

using CommandHandler = std::function<MessageHandleResult(const pp::VarDictionary& data)>;

// Base of the three roles: the command table, its dispatch, and event posting
// through the owning instance.
class IEmbed {
 public:
  IEmbed() = default;
  virtual ~IEmbed() = default;

  IEmbed(const IEmbed&) = delete;
  IEmbed& operator=(const IEmbed&) = delete;

  virtual void DidChangeView(const pp::View& view);

  // Runs `command` against the table; unknown commands answer
  // kErrorInvalidCommand.
  MessageHandleResult HandleMessage(const std::string& command, const pp::VarDictionary& data);

  // Posts through the owning instance; dropped while there is none.
  void PostMessage(const pp::Var& message);
  void SetInstance(pp::Instance* instance) { m_instance = instance; }

  // Posts {"command": event} or {"command": event, "data": data}.
  void PostEvent(const char* event);
  void PostEvent(const char* event, const pp::VarDictionary& data);

 protected:
  // The four handler forms.
  template <typename Role>
  void RegisterCode(const char* command, int32_t (Role::*operation)(const pp::VarDictionary&)) {
    auto* role = static_cast<Role*>(this);
    m_handlers[command] = [role, operation](const pp::VarDictionary& data) {
      MessageHandleResult result;
      result.code = (role->*operation)(data);
      return result;
    };
  }
  template <typename Role>
  void RegisterDictionary(const char* command, pp::VarDictionary (Role::*operation)(const pp::VarDictionary&)) {
    auto* role = static_cast<Role*>(this);
    m_handlers[command] = [role, operation](const pp::VarDictionary& data) {
      MessageHandleResult result;
      result.data = (role->*operation)(data);
      return result;
    };
  }
  template <typename Role>
  void RegisterResult(const char* command, MessageHandleResult (Role::*operation)(const pp::VarDictionary&)) {
    auto* role = static_cast<Role*>(this);
    m_handlers[command] = [role, operation](const pp::VarDictionary& data) { return (role->*operation)(data); };
  }
  void RegisterNoOp(const char* command) {
    m_handlers[command] = [](const pp::VarDictionary&) { return MessageHandleResult(); };
  }

 protected:
  pp::Instance* OwnerInstance() const { return m_instance; }

 private:
  std::unordered_map<std::string, CommandHandler> m_handlers;
  pp::Instance* m_instance = nullptr;
};

}  // namespace TALLWICK_PP_RENDER
