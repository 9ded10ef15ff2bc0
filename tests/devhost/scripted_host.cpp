#include "devhost/scripted_host.h"

#include "devhost/fake_plugin.h"

namespace devhost_test {

pphost::HostOptions VirtualClock() {
  pphost::HostOptions options;
  options.clock = pphost::ClockMode::kVirtual;
  return options;
}

ScriptedHost::ScriptedHost(const pphost::HostOptions& options) : ScriptedHost(options, fake_plugin::EntryPoints()) {}

ScriptedHost::ScriptedHost(const pphost::HostOptions& options, const pphost::EntryPoints& module)
    : host_(options, [this](const std::string& line) { text_.push_back(line); }) {
  host_.Load(module);
}

std::vector<Json> ScriptedHost::Execute(const std::vector<std::string>& lines) {
  const size_t first = text_.size();
  for (const std::string& line : lines) host_.Execute(line);
  std::vector<Json> out;
  for (size_t i = first; i < text_.size(); ++i) out.push_back(Json::parse(text_[i]));
  return out;
}

std::vector<Json> OfKind(const std::vector<Json>& lines, const std::string& kind) {
  std::vector<Json> matching;
  for (const Json& line : lines) {
    if (line.at("kind") == kind) matching.push_back(line);
  }
  return matching;
}

std::vector<Json> Posted(const std::vector<Json>& lines) {
  std::vector<Json> messages;
  for (const Json& line : OfKind(lines, "post")) messages.push_back(line.at("msg"));
  return messages;
}

std::vector<std::string> PostedCommands(const std::vector<Json>& lines) {
  std::vector<std::string> commands;
  for (const Json& msg : Posted(lines)) {
    const bool named = msg.is_object() && msg.contains("command") && msg["command"].is_string();
    commands.push_back(named ? msg["command"].get<std::string>() : msg.dump());
  }
  return commands;
}

}  // namespace devhost_test
