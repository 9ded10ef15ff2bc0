#include <gtest/gtest.h>

#include <string>

#include "support/run_command.h"

namespace {

using tallwick::test::NonEmptyLines;
using tallwick::test::RunCommand;

TEST(ModuleLibraryTest, ExportsExactlyTheThreeEntryPoints) {
  const auto names =
      NonEmptyLines(RunCommand(std::string("nm -D --defined-only ") + TALLWICK_MODULE_PATH + " | awk '{print $3}'"));
  EXPECT_EQ(names, (std::set<std::string>{"PPP_InitializeModule", "PPP_GetInterface", "PPP_ShutdownModule"}));
}

TEST(ModuleLibraryTest, NeedsNoGraphicsLibrary) {
  const std::string needed = RunCommand(std::string("readelf -d ") + TALLWICK_MODULE_PATH + " | grep NEEDED");
  EXPECT_NE(needed.find("libtallwick-log"), std::string::npos) << needed;
  for (const char* gl : {"libGL", "libEGL", "libGLES", "libOpenGL"}) {
    EXPECT_EQ(needed.find(gl), std::string::npos) << gl << " in\n" << needed;
  }
}

}  // namespace
