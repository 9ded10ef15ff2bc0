#include "devhost/page/script_executor.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "devhost/page/script_fields.h"

namespace pphost {

namespace {

bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

Json Parse(const std::string& text) {
  try {
    return Json::parse(text);
  } catch (const Json::parse_error& e) {
    throw ScriptError(std::string("bad JSON: ") + e.what());
  }
}

}  // namespace

void ScriptExecutor::Dispatch(const std::string& text, Json& op) { Dispatch(Parse(text), op); }

// Fills `op` as soon as it is known, so the ack can name it even when the
// line fails later.
void ScriptExecutor::Dispatch(const Json& line, Json& op) {
  if (!line.is_object()) throw ScriptError("an input line must be a JSON object");
  const std::string name = AsString(RequiredField(line, "op"), "op");
  op = name;
  auto handler = handlers_.find(name);
  if (handler == handlers_.end()) throw ScriptError("unknown op \"" + name + "\"");
  try {
    handler->second(line);
  } catch (const ScriptError& e) {
    throw ScriptError(name + ": " + e.what());
  }
}

bool ScriptExecutor::Execute(const std::string& text) {
  if (IsBlank(text)) {
    ++seq_;
    return true;
  }
  return Carry(text);
}

bool ScriptExecutor::Execute(const Json& line) { return Carry(line); }

template <typename Line>
bool ScriptExecutor::Carry(const Line& line) {
  const int64_t seq = ++seq_;
  Json op = nullptr;
  bool ok = true;
  try {
    Dispatch(line, op);
  } catch (const ScriptError& e) {
    output_.Error(seq, e.what());
    ok = false;
  } catch (const std::exception& e) {
    output_.Error(seq, std::string("internal error: ") + e.what());
    ok = false;
  }
  hadError_ = hadError_ || !ok;
  output_.Ack(seq, op);
  return ok;
}

}  // namespace pphost
