#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "devhost/json.h"
#include "devhost/output/output_writer.h"

namespace pphost {

// Carries out input lines: parses each one, hands it to the handler of its
// `op`, turns a failure into an `error` line and ends every line with its
// `ack`. `seq` counts lines from 1; a blank line counts but says nothing.
class ScriptExecutor {
 public:
  // Throws ScriptError when the line cannot be carried out.
  using Handler = std::function<void(const Json& line)>;

  explicit ScriptExecutor(OutputWriter& output) : output_(output) {}

  void On(const std::string& op, Handler handler) { handlers_[op] = std::move(handler); }

  // False when the line gave an `error` line.
  bool Execute(const std::string& text);
  // The same for a line its caller has already parsed (a JSON object).
  bool Execute(const Json& line);
  bool HadError() const { return hadError_; }

 private:
  template <typename Line>
  bool Carry(const Line& line);
  void Dispatch(const std::string& text, Json& op);
  void Dispatch(const Json& line, Json& op);

  OutputWriter& output_;
  std::map<std::string, Handler> handlers_;
  int64_t seq_ = 0;
  bool hadError_ = false;
};

}  // namespace pphost
