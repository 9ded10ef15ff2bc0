#include "devhost/browser/browser_context.h"

#include <atomic>
#include <stdexcept>
#include <utility>

namespace pphost {

namespace {
std::atomic<BrowserContext*> g_active{nullptr};
}  // namespace

void PostWatch::Start(PP_Instance instance, Json command) {
  instance_ = instance;
  command_ = std::move(command);
  seen_ = false;
}

void PostWatch::Notice(PP_Instance instance, const Json& msg) {
  if (!command_ || instance != instance_ || !msg.is_object()) return;
  auto it = msg.find("command");
  if (it != msg.end() && *it == command_) seen_ = true;
}

BrowserContext* ActiveBrowser() { return g_active.load(std::memory_order_acquire); }

void RunUploadHook() {
  const BrowserContext* browser = ActiveBrowser();
  if (browser == nullptr || !browser->beforeUpload) return;
  const std::function<void()> hook = browser->beforeUpload;
  hook();
}

ActiveBrowserScope::ActiveBrowserScope(BrowserContext& browser) {
  BrowserContext* expected = nullptr;
  if (!g_active.compare_exchange_strong(expected, &browser)) {
    throw std::logic_error("pphost: only one host may be alive in a process");
  }
}

ActiveBrowserScope::~ActiveBrowserScope() { g_active.store(nullptr, std::memory_order_release); }

}  // namespace pphost
