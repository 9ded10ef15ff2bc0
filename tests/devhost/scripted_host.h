#pragma once

#include <string>
#include <vector>

#include "devhost/host.h"
#include "devhost/json.h"

namespace devhost_test {

using pphost::Json;

pphost::HostOptions VirtualClock();

// A host with a plug-in loaded (the fake one unless told otherwise), that
// keeps every output line.
class ScriptedHost {
 public:
  explicit ScriptedHost(const pphost::HostOptions& options = VirtualClock());
  ScriptedHost(const pphost::HostOptions& options, const pphost::EntryPoints& module);

  pphost::Host& Host() { return host_; }

  // Carries out the lines; returns the output lines they produced, parsed.
  std::vector<Json> Execute(const std::vector<std::string>& lines);
  // Every output line so far, as written.
  const std::vector<std::string>& Text() const { return text_; }

 private:
  std::vector<std::string> text_;
  pphost::Host host_;
};

// The output lines of one kind.
std::vector<Json> OfKind(const std::vector<Json>& lines, const std::string& kind);
// The messages posted, in order.
std::vector<Json> Posted(const std::vector<Json>& lines);
// The "command" of every posted message, in order.
std::vector<std::string> PostedCommands(const std::vector<Json>& lines);

}  // namespace devhost_test
