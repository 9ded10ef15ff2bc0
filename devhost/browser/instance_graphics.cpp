#include "devhost/browser/instance_graphics.h"

#include <utility>

#include "devhost/gl/context_3d.h"

namespace pphost {

namespace {

Context3D* ContextIn(const BrowserContext& browser, PP_Resource resource) {
  const Graphics3DData* data = browser.resources.Get<Graphics3DData>(resource);
  return data != nullptr ? data->context.get() : nullptr;
}

void ForEachContext(BrowserContext& browser, PP_Instance instance, void (Context3D::*action)()) {
  for (const PP_Resource resource : browser.resources.OfInstance<Graphics3DData>(instance)) {
    (ContextIn(browser, resource)->*action)();
  }
}

void Unbind(BrowserContext& browser, InstanceRecord& record) {
  const PP_Resource bound = record.boundGraphics;
  record.boundGraphics = 0;
  if (bound != 0) browser.resources.Release(bound);
}

}  // namespace

Context3D* FindContext3D(PP_Resource resource) {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? ContextIn(*browser, resource) : nullptr;
}

Context3D* CurrentContext3D(PP_Resource resource) {
  Context3D* context = FindContext3D(resource);
  return context != nullptr && context->MakeCurrent() ? context : nullptr;
}

bool BindInstanceGraphics(BrowserContext& browser, PP_Instance instance, PP_Resource resource) {
  InstanceRecord* record = browser.instances.Find(instance);
  if (record == nullptr) return false;
  if (resource == 0) {
    Unbind(browser, *record);
    return true;
  }
  const Context3D* context = ContextIn(browser, resource);
  if (context == nullptr || context->Instance() != instance) return false;
  if (record->boundGraphics == resource) return true;
  browser.resources.AddRef(resource);
  Unbind(browser, *record);
  record->boundGraphics = resource;
  return true;
}

void PresentSwap(BrowserContext& browser, PP_Resource resource, const std::shared_ptr<Context3D>& context) {
  InstanceRecord* record = browser.instances.Find(context->Instance());
  const bool bound = record != nullptr && record->boundGraphics == resource;
  // An instance that no longer shows this context keeps the picture it had.
  if (record != nullptr && !bound && record->presented.From(context.get())) record->presented.Keep();
  context->ShowStaged();
  if (!bound) return;
  record->presented.Show(context.get(), context->ShownWidth(), context->ShownHeight(),
                         [context](const PP_Rect& rect) { return context->ReadShown(rect); });
  ++record->presentCount;
  if (record->watch) record->watch->Notice(record->presented.Image(), browser.clock.MonotonicMs());
  if (browser.tracePresent) {
    browser.output.Present(record->pageId, record->presented.Width(), record->presented.Height(), record->presentCount);
  }
}

// What the instance shows is read back first: it lives in those contexts.
void LoseInstanceContexts(BrowserContext& browser, PP_Instance instance) {
  if (InstanceRecord* record = browser.instances.Find(instance)) record->presented.Keep();
  ForEachContext(browser, instance, &Context3D::Lose);
}

void ReleaseInstanceGraphics(BrowserContext& browser, PP_Instance instance) {
  if (InstanceRecord* record = browser.instances.Find(instance)) Unbind(browser, *record);
  ForEachContext(browser, instance, &Context3D::Lose);
}

}  // namespace pphost
