#include "host/bound_module.h"

#include <cstring>
#include <utility>

#include "host/instance.h"
#include "host/module.h"
#include "host/module_entry_points.h"

namespace host_test {

namespace {

class ViewKeeper : public pp::Instance {
 public:
  using pp::Instance::DidChangeView;
  using pp::Instance::Instance;
  void DidChangeView(const pp::View& view) override { lastView = view; }
  pp::View lastView;
};

class BindingOnlyModule : public pp::Module {
 public:
  pp::Instance* CreateInstance(PP_Instance instance) override { return new ViewKeeper(instance); }
};

PPB_GetInterface g_hostInterfaces = nullptr;
std::vector<std::string> g_hidden;

const void* PP_CALL OfferedInterface(const char* name) {
  for (const std::string& hidden : g_hidden) {
    if (hidden == name) return nullptr;
  }
  return g_hostInterfaces(name);
}

int32_t PP_CALL Initialize(PP_Module module, PPB_GetInterface getInterface) {
  g_hostInterfaces = getInterface;
  return pp::StartModule(new BindingOnlyModule, module, &OfferedInterface);
}

const void* PP_CALL GetInterface(const char* name) { return pp::GetStartedModuleInterface(name); }

void PP_CALL Shutdown() { pp::ShutdownStartedModule(); }

pphost::EntryPoints HidingEntryPoints(std::vector<std::string> hidden) {
  g_hidden = std::move(hidden);
  return {&Initialize, &GetInterface, &Shutdown};
}

}  // namespace

BoundModuleTest::BoundModuleTest(std::vector<std::string> hidden)
    : page_(devhost_test::VirtualClock(), HidingEntryPoints(std::move(hidden))) {
  Do(R"({"op":"create","id":"a"})");
  heldAtStart_ = page_.Host().Live().vars;
}

BoundModuleTest::~BoundModuleTest() { page_.Host().Finish(); }

long BoundModuleTest::HeldVars() {
  return static_cast<long>(page_.Host().Live().vars) - static_cast<long>(heldAtStart_);
}

void BoundModuleTest::Do(const std::string& line) {
  EXPECT_TRUE(page_.Host().Execute(line)) << line << " gave " << page_.Text().back();
}

pp::View& BoundModuleTest::LastView() {
  const auto& instances = pp::Module::Get()->current_instances();
  EXPECT_EQ(instances.size(), 1u);
  return static_cast<ViewKeeper*>(instances.begin()->second)->lastView;
}

}  // namespace host_test
