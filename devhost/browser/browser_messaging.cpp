// "PPB_Messaging;1.0" and ";1.2": the instance's messages to the page.
#include <cstdio>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/runtime/json_var.h"

namespace pphost {

namespace {

void PostMessage(PP_Instance instance, PP_Var message) {
  BrowserContext* browser = ActiveBrowser();
  if (browser == nullptr) return;
  const InstanceRecord* record = browser->instances.Find(instance);
  if (record == nullptr) {
    std::fprintf(stderr, "pphost: PostMessage for instance %d, which does not exist: dropped\n", instance);
    return;
  }
  Json msg = VarToJson(message, browser->vars);
  browser->postWatch.Notice(instance, msg);
  browser->output.Post(record->pageId, std::move(msg));
}

// Messages reach instances on the main thread only.
int32_t RegisterMessageHandler(PP_Instance /*instance*/, void* /*userData*/, const PPP_MessageHandler_0_2* /*handler*/,
                               PP_Resource /*messageLoop*/) {
  return PP_ERROR_NOTSUPPORTED;
}

void UnregisterMessageHandler(PP_Instance /*instance*/) {}

constexpr PPB_Messaging_1_0 kMessaging10 = {&PostMessage};
constexpr PPB_Messaging_1_2 kMessaging12 = {&PostMessage, &RegisterMessageHandler, &UnregisterMessageHandler};

}  // namespace

const PPB_Messaging_1_0* Messaging10Interface() { return &kMessaging10; }
const PPB_Messaging_1_2* Messaging12Interface() { return &kMessaging12; }

}  // namespace pphost
