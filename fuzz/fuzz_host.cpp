#include "fuzz_host.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "devhost/json.h"
#include "report.h"

namespace tallwick_fuzz {

namespace {

constexpr const char* kCreatedPrefix = R"({"kind":"created",)";
constexpr const char* kShutdownPrefix = R"({"kind":"shutdown",)";
// Long enough for every timer and swap a destroyed instance left pending.
constexpr int64_t kSettleMs = 1000;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// For replaying a finding: TALLWICK_FUZZ_TRACE=1 writes every line of the
// host, the module's log lines among them, to standard error;
// TALLWICK_FUZZ_LOG=1 only adds the module's log lines to the host's lines
// (which a target may tell with a finding).
bool Tracing() {
  static const bool tracing = std::getenv("TALLWICK_FUZZ_TRACE") != nullptr;
  return tracing;
}

bool Logging() {
  static const bool logging = Tracing() || std::getenv("TALLWICK_FUZZ_LOG") != nullptr;
  return logging;
}

pphost::HostOptions VirtualClock() {
  pphost::HostOptions options;
  options.clock = pphost::ClockMode::kVirtual;
  options.log = Logging();
  options.pixelFreeGl = true;
  options.tracePresent = true;
  return options;
}

}  // namespace

FuzzHost::FuzzHost(pphost::EntryPoints module, std::function<void()> afterShutdown)
    : module_(module), afterShutdown_(std::move(afterShutdown)) {
  Start();
}

FuzzHost::~FuzzHost() {
  host_.reset();
  if (afterShutdown_) afterShutdown_();
}

void FuzzHost::Start() {
  // llvmpipe draws on the calling thread: the targets' small drawing buffers
  // gain nothing from its worker threads, and a run stays on one core.
  setenv("LP_NUM_THREADS", "0", 0);
  host_ = std::make_unique<pphost::Host>(VirtualClock(), [this](const std::string& line) { Collect(line); });
  host_->SetPixelFree(pixelFree_);
  if (!host_->Load(module_)) {
    std::fprintf(Report(), "fuzz: the plug-in does not load: %s\n", host_->LoadError().c_str());
    std::fflush(Report());
    std::abort();
  }
}

// Only the lines that change what EndInput has to undo are parsed.
void FuzzHost::Collect(const std::string& line) {
  if (Tracing()) std::fprintf(Report(), "%s\n", line.c_str());
  if (listener_) listener_(line);
  if (StartsWith(line, kCreatedPrefix)) {
    created_.push_back(pphost::Json::parse(line).at("id"));
  } else if (StartsWith(line, kShutdownPrefix)) {
    shutDown_ = true;
  }
}

// Once the callbacks the destroyed instances left pending have run, the
// module holds no var and no resource: what it still holds then is a leak
// that the sanitizers cannot see, since the host owns those objects.
void FuzzHost::RequireNothingAlive() {
  host_->Run(kSettleMs);
  const pphost::LiveCounts live = host_->Live();
  if (live.vars == 0 && live.resources == 0) return;
  std::fprintf(Report(),
               "fuzz: after the input's instances were destroyed the module still holds %zu vars and %zu resources "
               "(%zu 3D contexts)\n",
               live.vars, live.resources, live.contexts);
  std::fflush(Report());
  std::abort();
}

void FuzzHost::SetPixelFree(bool pixelFree) {
  pixelFree_ = pixelFree;
  host_->SetPixelFree(pixelFree);
}

void FuzzHost::EndInput() {
  std::vector<pphost::Json> created;
  created.swap(created_);
  if (!shutDown_) {
    for (const pphost::Json& id : created) host_->Execute(pphost::Json{{"op", "destroy"}, {"id", id}});
    created_.clear();
    RequireNothingAlive();
    return;
  }
  host_.reset();
  if (afterShutdown_) afterShutdown_();
  shutDown_ = false;
  Start();
}

}  // namespace tallwick_fuzz
