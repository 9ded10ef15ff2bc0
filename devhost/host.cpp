#include "devhost/host.h"

#include <exception>
#include <optional>
#include <stdexcept>
#include <utility>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/gl/answered_context.h"
#include "devhost/gl/gl_context.h"
#include "devhost/gl/pixel_free_context.h"
#ifdef _WIN32
#include "devhost/gl/wgl_display.h"
#else
#include "devhost/gl/egl_display.h"
#endif
#include "devhost/page/image_ops.h"
#include "devhost/page/instance_ops.h"
#include "devhost/page/log_bridge.h"
#include "devhost/page/loop_ops.h"
#include "devhost/page/script_executor.h"
#include "devhost/page/script_fields.h"
#include "devhost/page/watch_ops.h"
#include "devhost/runtime/module_loader.h"
#include "devhost/runtime/plugin_module.h"

namespace pphost {

namespace {

constexpr PP_Module kModuleHandle = 1;

// The back end of the 3D contexts: answered ones when the GL calls are
// answered from a record, else EGL; on Windows WGL when asked for, else none.
std::unique_ptr<Context3DMaker> ContextsFor(const HostOptions& options) {
  if (!options.glAnswers.empty()) return std::make_unique<AnsweredContextMaker>();
#ifdef _WIN32
  if (options.gl != GlMode::kWgl) return nullptr;
  return std::make_unique<GlContextMaker>(std::make_unique<WglDisplay>(), false);
#else
  return std::make_unique<GlContextMaker>(std::make_unique<EglDisplay>(), options.gl == GlMode::kStrictEs2);
#endif
}

}  // namespace

class Host::Impl {
 public:
  Impl(const HostOptions& options, LineSink sink)
      : options_(options), browser_(options.clock, std::move(sink)), scope_(browser_), loopOps_(browser_) {
    if (options_.log) logBridge_.emplace(browser_.output);
    browser_.contexts = ContextsFor(options_);
    if (options_.pixelFreeGl && options_.glRecord.empty()) {
      browser_.pixelFreeGl = true;
      browser_.contexts =
          std::make_unique<SwitchingContextMaker>(std::move(browser_.contexts), browser_.pixelFreeContexts);
    }
    if (!options_.glRecord.empty()) StartGlCallRecord();
    browser_.tracePresent = options_.tracePresent;
    browser_.cursorRefused = options_.refuseCursor;
    browser_.contextsRefused = options_.refuseContexts;
    browser_.swapsRefused = options_.refuseSwaps;
    RegisterOps();
  }

  ~Impl() {
    try {
      Finish();
    } catch (const std::exception&) {
      // Nothing sensible is left to do with a failure while going away.
    }
  }

  bool Load(const std::string& path);
  bool Load(const EntryPoints& entryPoints);
  const std::string& LoadError() const { return loadError_; }
  bool Execute(const std::string& line) { return executor_.Execute(line); }
  bool Execute(const Json& line) { return executor_.Execute(line); }
  bool Run(int64_t ms);
  void Finish();
  int ExitStatus() const;
  std::optional<Presentation> LastPresented(const Json& id) const;
  std::optional<PresentedImage> PresentedRegion(const Json& id, const PP_Rect& rect) const;
  void SetBeforeUpload(std::function<void()> hook) { browser_.beforeUpload = std::move(hook); }
  void SetPixelFree(bool pixelFree) { browser_.pixelFreeContexts = browser_.pixelFreeGl && pixelFree; }
  LiveCounts Live() const {
    return {browser_.vars.HeldCount(), browser_.resources.LiveCount(),
            browser_.resources.LiveCountOf<Graphics3DData>()};
  }

 private:
  enum class State { kEmpty, kRunning, kShutDown, kLoadFailed };

  void RegisterOps();
  void StartGlCallRecord();
  void OnRefuse(const char* name, bool& flag);
  void RequireRunning() const;
  InstanceOps& Instances();
  LoopOps& Loop();
  ImageOps& Images();
  WatchOps& Watches();
  void Shutdown(bool report);
  bool FailLoad(std::string error);

  HostOptions options_;
  BrowserContext browser_;
  ActiveBrowserScope scope_;
  std::optional<LogBridge> logBridge_;
  std::optional<PluginModule> plugin_;
  std::optional<InstanceOps> instanceOps_;
  LoopOps loopOps_;
  ImageOps imageOps_{browser_};
  WatchOps watchOps_{browser_};
  ScriptExecutor executor_{browser_.output};
  State state_ = State::kEmpty;
  std::string loadError_;
};

void Host::Impl::StartGlCallRecord() {
  std::string error;
  browser_.glCalls = GlCallLog::Open(options_.glRecord, options_.glAnswers, error);
  if (browser_.glCalls == nullptr) throw std::runtime_error(error);
}

void Host::Impl::RegisterOps() {
  executor_.On("create", [this](const Json& line) { Instances().Create(line); });
  executor_.On("view", [this](const Json& line) { Instances().View(line); });
  executor_.On("message", [this](const Json& line) { Instances().Message(line); });
  executor_.On("input", [this](const Json& line) { Instances().Input(line); });
  executor_.On("contextlost", [this](const Json& line) { Instances().ContextLost(line); });
  executor_.On("destroy", [this](const Json& line) { Instances().Destroy(line); });
  executor_.On("run", [this](const Json& line) { Loop().Run(line); });
  executor_.On("clock", [this](const Json& line) { Loop().Clock(line); });
  OnRefuse("cursor-refuse", browser_.cursorRefused);
  OnRefuse("context-refuse", browser_.contextsRefused);
  OnRefuse("swap-refuse", browser_.swapsRefused);
  executor_.On("shutdown", [this](const Json&) { Shutdown(true); });
  executor_.On("snapshot", [this](const Json& line) { Images().Snapshot(line); });
  executor_.On("pixels", [this](const Json& line) { Images().Pixels(line); });
  executor_.On("page", [this](const Json& line) { Images().Page(line); });
  executor_.On("watch", [this](const Json& line) { Watches().Watch(line); });
  executor_.On("watched", [this](const Json& line) { Watches().Watched(line); });
}

// A fault switch: `{"op": name, "refuse": bool}` sets `flag`.
void Host::Impl::OnRefuse(const char* name, bool& flag) {
  executor_.On(name, [this, &flag](const Json& line) {
    RequireRunning();
    flag = AsBool(RequiredField(line, "refuse"), "refuse");
  });
}

void Host::Impl::RequireRunning() const {
  if (state_ == State::kShutDown) throw ScriptError("the module is already shut down");
  if (state_ != State::kRunning) throw ScriptError("no module is loaded");
}

InstanceOps& Host::Impl::Instances() {
  RequireRunning();
  return *instanceOps_;
}

ImageOps& Host::Impl::Images() {
  RequireRunning();
  return imageOps_;
}

WatchOps& Host::Impl::Watches() {
  RequireRunning();
  return watchOps_;
}

LoopOps& Host::Impl::Loop() {
  RequireRunning();
  return loopOps_;
}

bool Host::Impl::FailLoad(std::string error) {
  state_ = State::kLoadFailed;
  loadError_ = std::move(error);
  return false;
}

bool Host::Impl::Load(const std::string& path) {
  if (state_ != State::kEmpty) return FailLoad("a module is already loaded");
  std::string error;
  const std::optional<EntryPoints> entryPoints = LoadModuleLibrary(path, error);
  if (!entryPoints) return FailLoad(error);
  return Load(*entryPoints);
}

bool Host::Impl::Load(const EntryPoints& entryPoints) {
  if (state_ != State::kEmpty) return FailLoad("a module is already loaded");
  plugin_.emplace(entryPoints);
  const int32_t result = plugin_->Initialize(kModuleHandle, &GetBrowserInterface);
  if (result != PP_OK) {
    plugin_.reset();
    return FailLoad("PPP_InitializeModule failed with " + std::to_string(result));
  }
  instanceOps_.emplace(browser_, *plugin_);
  state_ = State::kRunning;
  return true;
}

// Instances go first (DidDestroy), then the callbacks still queued run once
// with PP_ERROR_ABORTED, then the module shuts down. What the module still
// holds after that is what it leaked.
void Host::Impl::Shutdown(bool report) {
  RequireRunning();
  instanceOps_->DestroyAll();
  browser_.loop.AbortAll();
  plugin_->Shutdown();
  state_ = State::kShutDown;
  if (report) browser_.output.Shutdown(browser_.vars.HeldCount(), browser_.resources.LiveCount());
}

bool Host::Impl::Run(int64_t ms) {
  if (state_ != State::kRunning || ms < 0 || ms > kMaxRunMs || !browser_.clock.CanAdvance(ms * kNsPerMs)) return false;
  browser_.loop.RunUntil(browser_.clock.MonotonicNs() + ms * kNsPerMs, nullptr);
  return true;
}

void Host::Impl::Finish() {
  if (state_ != State::kRunning) return;
  browser_.output.Mute();
  Shutdown(false);
}

std::optional<Presentation> Host::Impl::LastPresented(const Json& id) const {
  const InstanceRecord* record = browser_.instances.FindByPageId(id);
  if (record == nullptr) return std::nullopt;
  return Presentation{record->presented.Image(), record->presentCount};
}

std::optional<PresentedImage> Host::Impl::PresentedRegion(const Json& id, const PP_Rect& rect) const {
  const InstanceRecord* record = browser_.instances.FindByPageId(id);
  if (record == nullptr || record->presentCount == 0) return std::nullopt;
  return record->presented.Region(rect);
}

int Host::Impl::ExitStatus() const {
  if (state_ == State::kEmpty || state_ == State::kLoadFailed) return 2;
  return executor_.HadError() ? 1 : 0;
}

Host::Host(const HostOptions& options, LineSink sink) : impl_(std::make_unique<Impl>(options, std::move(sink))) {}
Host::~Host() = default;
bool Host::Load(const std::string& path) { return impl_->Load(path); }
bool Host::Load(const EntryPoints& entryPoints) { return impl_->Load(entryPoints); }
const std::string& Host::LoadError() const { return impl_->LoadError(); }
bool Host::Execute(const std::string& line) { return impl_->Execute(line); }
bool Host::Execute(const Json& line) { return impl_->Execute(line); }
bool Host::Run(int64_t ms) { return impl_->Run(ms); }
void Host::Finish() { impl_->Finish(); }
int Host::ExitStatus() const { return impl_->ExitStatus(); }
std::optional<Presentation> Host::LastPresented(const Json& id) const { return impl_->LastPresented(id); }
std::optional<PresentedImage> Host::PresentedRegion(const Json& id, const PP_Rect& rect) const {
  return impl_->PresentedRegion(id, rect);
}

LiveCounts Host::Live() const { return impl_->Live(); }
void Host::SetBeforeUpload(std::function<void()> hook) { impl_->SetBeforeUpload(std::move(hook)); }
void Host::SetPixelFree(bool pixelFree) { impl_->SetPixelFree(pixelFree); }

int RunScript(std::istream& input, Host& host) {
  std::string line;
  while (std::getline(input, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    host.Execute(line);
  }
  host.Finish();
  return host.ExitStatus();
}

}  // namespace pphost
