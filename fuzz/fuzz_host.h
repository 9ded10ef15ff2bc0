#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devhost/host.h"

namespace tallwick_fuzz {

// The one in-process pphost of a fuzzing process, on the virtual clock, with
// a plug-in linked into the target. Starting a host and its EGL display is
// far dearer than one input, so the host lives across inputs; what an input
// leaves behind is cleared by EndInput so that the next one starts from the
// same page.
class FuzzHost {
 public:
  // `afterShutdown` runs whenever the module was shut down and before it is
  // loaded again (a module's process-wide state goes there). The host may
  // make pixel-free contexts (SetPixelFree), and does from the start.
  FuzzHost(pphost::EntryPoints module, std::function<void()> afterShutdown = {});
  ~FuzzHost();
  FuzzHost(const FuzzHost&) = delete;
  FuzzHost& operator=(const FuzzHost&) = delete;

  pphost::Host& Host() { return *host_; }

  // One page line; false when it gave an `error` line.
  bool Execute(const std::string& line) { return host_->Execute(line); }
  bool Execute(const pphost::Json& line) { return host_->Execute(line); }
  bool Execute(const char* line) { return host_->Execute(line); }
  // Steps the virtual clock, as a `run` line without `until`.
  bool Run(int64_t ms) { return host_->Run(ms); }
  // Whether the 3D contexts made from now on are pixel-free (the default)
  // or real ones, with pictures; a new host keeps the choice.
  void SetPixelFree(bool pixelFree);
  // Every output line also goes to `listener`.
  void SetListener(std::function<void(const std::string&)> listener) { listener_ = std::move(listener); }

  // Destroys every instance the input created and aborts if the module then
  // still holds a var or a resource; if the input shut the module down, starts
  // a new host with the module loaded again instead.
  void EndInput();

 private:
  void Start();
  void Collect(const std::string& line);
  void RequireNothingAlive();

  pphost::EntryPoints module_;
  std::function<void()> afterShutdown_;
  std::unique_ptr<pphost::Host> host_;
  std::vector<pphost::Json> created_;  // page ids
  bool shutDown_ = false;
  bool pixelFree_ = true;
  std::function<void(const std::string&)> listener_;
};

}  // namespace tallwick_fuzz
