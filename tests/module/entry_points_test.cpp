#include <gtest/gtest.h>

#include <cstring>

#include "common/log_instance.h"
#include "controller/crash_manager.h"
#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppp.h"
#include "host/ppapi/ppp_graphics_3d.h"
#include "host/ppapi/ppp_input_event.h"
#include "host/ppapi/ppp_instance.h"
#include "host/ppapi/ppp_messaging.h"

namespace {

using TALLWICK_PP_RENDER::CrashManager;

const char* const kPluginInterfaces[] = {PPP_INSTANCE_INTERFACE_1_1,
                                         PPP_MESSAGING_INTERFACE_1_0,
                                         PPP_INPUT_EVENT_INTERFACE_0_1,
                                         PPP_GRAPHICS_3D_INTERFACE_1_0,
                                         "PPP_Instance;1.0",
                                         "PPB_Core;1.0",
                                         ""};

// A browser that offers nothing at all.
const void* NoInterfaces(const char* /*name*/) { return nullptr; }

// A browser that offers only a core interface (enough to start the module).
PP_Time Time() { return 1767225600.0; }
PP_TimeTicks Ticks() { return 0.0; }
void NoRef(PP_Resource) {}
void CallLater(int32_t, PP_CompletionCallback, int32_t) {}
PP_Bool OnMain() { return PP_TRUE; }
const PPB_Core_1_0 kCore = {&NoRef, &NoRef, &Time, &Ticks, &CallLater, &OnMain};
const void* CoreOnly(const char* name) { return std::strcmp(name, PPB_CORE_INTERFACE_1_0) == 0 ? &kCore : nullptr; }

void ExpectNoPluginInterfaces() {
  for (const char* name : kPluginInterfaces) EXPECT_EQ(PPP_GetInterface(name), nullptr) << name;
}

TEST(EntryPointsTest, NothingIsOfferedBeforeStartOrAfterShutdown) {
  ExpectNoPluginInterfaces();
  ASSERT_EQ(PPP_InitializeModule(1, &CoreOnly), PP_OK);
  EXPECT_NE(PPP_GetInterface(PPP_INSTANCE_INTERFACE_1_1), nullptr);
  EXPECT_NE(PPP_GetInterface(PPP_MESSAGING_INTERFACE_1_0), nullptr);
  EXPECT_NE(PPP_GetInterface(PPP_INPUT_EVENT_INTERFACE_0_1), nullptr);
  EXPECT_EQ(PPP_GetInterface("PPP_Instance;1.0"), nullptr);
  EXPECT_EQ(PPP_GetInterface(PPP_GRAPHICS_3D_INTERFACE_1_0), nullptr) << "registered by the first instance";
  PPP_ShutdownModule();
  ExpectNoPluginInterfaces();
}

TEST(EntryPointsTest, BrowserWithoutCoreIsRefused) {
  EXPECT_EQ(PPP_InitializeModule(1, &NoInterfaces), PP_ERROR_FAILED);
  ExpectNoPluginInterfaces();
  EXPECT_FALSE(CrashManager::HasInstance());
}

TEST(EntryPointsTest, ShutdownTwiceAndWithoutLoggerIsHarmless) {
  ASSERT_EQ(PPP_InitializeModule(1, &CoreOnly), PP_OK);
  EXPECT_FALSE(CrashManager::HasInstance()) << "created lazily, not at start";
  PPP_ShutdownModule();
  // The crash hook was created for its uninit and destroyed again; the
  // logger facade is gone too.
  EXPECT_FALSE(CrashManager::HasInstance());
  EXPECT_FALSE(TALLWICK_LOG::LogInstance::HasInstance());
  PPP_ShutdownModule();
  ExpectNoPluginInterfaces();
}

TEST(EntryPointsTest, ShutdownAfterInitTwiceUninitialisesTheCrashHookOnce) {
  ASSERT_EQ(PPP_InitializeModule(1, &CoreOnly), PP_OK);
  CrashManager::GetInstance()->Init("", "", "", 1);
  CrashManager::GetInstance()->Init("", "", "", 1);
  EXPECT_TRUE(CrashManager::GetInstance()->IsInited());
  PPP_ShutdownModule();
  EXPECT_FALSE(CrashManager::HasInstance());
}

}  // namespace
