#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "devhost/gl/context_3d.h"
#include "devhost/glcalls/gl_call_log.h"
#include "devhost/json.h"
#include "devhost/output/output_writer.h"
#include "devhost/runtime/host_clock.h"
#include "devhost/runtime/instance_table.h"
#include "devhost/runtime/main_loop.h"
#include "devhost/runtime/resource_table.h"
#include "devhost/runtime/var_store.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// Watches the module's posts during `run ... until`: notes when `instance`
// posts a message whose "command" equals `command`.
class PostWatch {
 public:
  void Start(PP_Instance instance, Json command);
  void Stop() {
    instance_ = 0;
    command_.reset();
  }
  void Notice(PP_Instance instance, const Json& msg);
  bool Seen() const { return seen_; }

 private:
  PP_Instance instance_ = 0;
  std::optional<Json> command_;
  bool seen_ = false;
};

// What the browser side of the host keeps: the state every PPB function
// works on. Plain data; the behaviour lives with each interface.
struct BrowserContext {
  BrowserContext(ClockMode mode, LineSink sink) : clock(mode), loop(clock), output(std::move(sink), clock) {}

  // Makes the 3D contexts; null when the host has none to offer. First: the
  // contexts among the resources need it to go away.
  std::unique_ptr<Context3DMaker> contexts;
  // The record of the module's GL calls, when one is kept: the module then
  // gets the recording "PPB_OpenGLES2;1.0".
  std::unique_ptr<GlCallLog> glCalls;
  HostClock clock;
  MainLoop loop;
  VarStore vars;
  ResourceTable resources;
  InstanceTable instances;
  OutputWriter output;
  PostWatch postWatch;
  // Host faults the page switches on: SetCursor, PPB_Graphics3D Create and
  // SwapBuffers fail while set.
  bool cursorRefused = false;
  bool contextsRefused = false;
  bool swapsRefused = false;
  bool tracePresent = false;  // a `present` line for every completed swap
  // The module gets the GL table that serves pixel-free contexts too
  // (HostOptions::pixelFreeGl); contexts made while `pixelFreeContexts` is
  // set are pixel-free (Host::SetPixelFree).
  bool pixelFreeGl = false;
  bool pixelFreeContexts = false;
  // A test's code that every glTexImage2D on a real GL context runs before GL
  // reads the pixels (Host::SetBeforeUpload); empty when none is set.
  std::function<void()> beforeUpload;
  std::thread::id mainThread = std::this_thread::get_id();
};

// The PPB functions are plain C functions: this is the one place that tells
// them which browser they serve. Null when no host is alive.
BrowserContext* ActiveBrowser();

// Runs the active host's upload hook, if one is set (a copy runs, so that
// the hook may replace or clear itself). For the GL tables' uploads.
void RunUploadHook();

// Makes `browser` the active one for its lifetime. Only one host may be alive
// in a process: a second one throws std::logic_error.
class ActiveBrowserScope {
 public:
  explicit ActiveBrowserScope(BrowserContext& browser);
  ~ActiveBrowserScope();
  ActiveBrowserScope(const ActiveBrowserScope&) = delete;
  ActiveBrowserScope& operator=(const ActiveBrowserScope&) = delete;
};

}  // namespace pphost
