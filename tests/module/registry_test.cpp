#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/controller_embed.h"
#include "embed/protocol.h"
#include "frame/frame_layout.h"
#include "module/module_page.h"

namespace module_test {
namespace {

using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;
using tallwick::frame::kFormatRGBA;
using TALLWICK_PP_RENDER::kErrorNone;
using TALLWICK_PP_RENDER::kShareMemoryOpAdd;
using TALLWICK_PP_RENDER::kShareMemoryOpClear;
using TALLWICK_PP_RENDER::kShareMemoryOpRemove;
using ::testing::ElementsAre;

// An "op" value outside the three the command knows.
constexpr int32_t kUnknownOp = 5;

std::string Diff(const std::string& uid, const std::string& sid, const std::string& extra = "") {
  return R"({"path":"/seg-)" + sid + R"(","uid":")" + uid + R"(","sid":")" + sid +
         R"(","bufferSize":1000,"bufferNumber":2)" + extra + "}";
}

class RegistryTest : public ModulePageTest {
 protected:
  RegistryTest() {
    EnableLogging();
    Do({Create("c", R"([["data-controller",""]])"), Create("s"), Create("g", R"([["data-multi",""]])")});
  }

  std::vector<Json> Update(int32_t op, const std::vector<std::string>& diffs) {
    return UpdateWith(R"("op":)" + std::to_string(op) + ",", diffs);
  }
  std::vector<Json> UpdateWithoutOp(const std::vector<std::string>& diffs) { return UpdateWith("", diffs); }

  std::vector<Json> UpdateWith(const std::string& opField, const std::vector<std::string>& diffs) {
    std::string list = "[";
    for (const std::string& diff : diffs) list += (list.size() > 1 ? "," : "") + diff;
    list += "]";
    return Do({Command("c", "DO_UPDATE_SHARED_MEMORY", "{" + opField + R"("diffs":)" + list + "}")});
  }

  Json Dump() { return Replies(Do({Command("c", "GET_SHARED_MEMORY_DIFFS")})).at(0).at("data"); }

  // The "RESET_SHOOM" notices the instances got: the line every instance
  // prints for a native message is the only trace a notice leaves in one that
  // shows no stream of that key (the controller, an idle gallery).
  static std::vector<std::string> FanOut(const std::vector<Json>& out) {
    std::vector<std::string> seen;
    for (const std::string& text : LogTexts(out, "RESET_SHOOM")) {
      if (text.find("Incoming native message") != std::string::npos) seen.push_back(text);
    }
    return seen;
  }

  // The record stored under `key`, read through the controller.
  static TALLWICK_PP_RENDER::ShareMemoryDiff Stored(const std::string& key) {
    TALLWICK_PP_RENDER::ShareMemoryDiff found;
    EXPECT_TRUE(TALLWICK_PP_RENDER::ControllerEmbed::GetInstance()->GetShareMemoryDiff(key, &found)) << key;
    return found;
  }
};

// That the notice goes out before its record is stored is the registry's
// own test; here, that every instance gets one per added record.
TEST_F(RegistryTest, CameraThenScreenOfOneUserFanOutToEveryInstance) {
  const auto out =
      Update(kShareMemoryOpAdd,
             {Diff("u1", "s1"), Diff("u1", "s2", R"(,"isScreen":true,"frameFormat":)" + std::to_string(kFormatNV12))});
  EXPECT_EQ(Replies(out).at(0).at("error"), kErrorNone);
  EXPECT_EQ(FanOut(out).size(), 6u) << "three instances (the controller too, which does not know the command), "
                                       "two records";
  EXPECT_EQ(Stored("u1_CAMERA").sid, "s1");
  EXPECT_EQ(Stored("u1_CAMERA").frameFormat, kFormatI420);
  EXPECT_EQ(Stored("u1_SCREEN").sid, "s2");
  EXPECT_EQ(Stored("u1_SCREEN").frameFormat, kFormatNV12);

  const Json dump = Dump();
  EXPECT_EQ(
      dump.at("s1").dump(),
      R"({"path":"/seg-s1","uid":"u1","sid":"s1","bufferSize":1000,"bufferNumber":2,"isScreen":false,"isMerge":false})");
  EXPECT_EQ(dump.at("s2").at("isScreen"), true);
}

// The key rule and the look-up are the registry's own tests; here, that the
// command's flags reach them.
TEST_F(RegistryTest, KeysFollowTheCommandsScreenAndMergeFlags) {
  Update(kShareMemoryOpAdd,
         {Diff("u1", "a", R"(,"isScreen":true,"isMerge":true)"), Diff("u2", "b", R"(,"isMerge":true)")});
  EXPECT_EQ(Stored("u1_SCREEN").sid, "a");
  EXPECT_EQ(Stored("u2_MERGE").sid, "b");
  TALLWICK_PP_RENDER::ShareMemoryDiff found;
  EXPECT_FALSE(TALLWICK_PP_RENDER::ControllerEmbed::GetInstance()->GetShareMemoryDiff("u1_MERGE", &found));
}

// The skip has a line of its own, the one word of it the module gives.
TEST_F(RegistryTest, RgbaIsSkippedWithItsLineAndWithoutFanOut) {
  const auto out = Update(kShareMemoryOpAdd,
                          {Diff("u1", "s1", R"(,"frameFormat":)" + std::to_string(kFormatRGBA)), Diff("u2", "s2")});
  EXPECT_EQ(Replies(out).at(0).at("error"), kErrorNone);
  EXPECT_THAT(LogTexts(out, "framedata is RGBA"),
              ElementsAre("ControllerEmbed::HandleDoUpdateShareMemory, framedata is RGBA, continue next one, sid: s1, "
                          "uid: u1, path: /seg-s1"));
  EXPECT_EQ(FanOut(out).size(), 3u) << "one record noticed";
  const Json dump = Dump();
  EXPECT_EQ(dump.size(), 1u);
  EXPECT_TRUE(dump.contains("s2"));
}

TEST_F(RegistryTest, ReplaceRemoveClearAndUnknownOps) {
  Update(kShareMemoryOpAdd, {Diff("u1", "s1")});
  Update(kShareMemoryOpAdd, {R"({"path":"/new","uid":"u1","sid":"s1","bufferSize":5000,"bufferNumber":1})"});
  EXPECT_EQ(Dump().at("s1").at("path"), "/new");
  EXPECT_EQ(Dump().at("s1").at("bufferSize"), 5000);

  const auto removeAbsent = Update(kShareMemoryOpRemove, {Diff("nobody", "x")});
  EXPECT_EQ(Replies(removeAbsent).at(0).at("error"), kErrorNone);
  EXPECT_EQ(Dump().size(), 1u);

  const auto unknown = Update(kUnknownOp, {Diff("u1", "s1"), Diff("u2", "s2")});
  EXPECT_EQ(Replies(unknown).at(0).at("error"), kErrorNone);
  EXPECT_TRUE(FanOut(unknown).empty());
  EXPECT_EQ(Dump().at("s1").at("path"), "/new") << "an unknown op changes nothing";
  EXPECT_EQ(Dump().size(), 1u);

  // Clearing says how many records it dropped, in a line of its own wording
  // (the trailing blank included).
  const auto clear = Update(kShareMemoryOpClear, {Diff("u3", "s3")});
  EXPECT_TRUE(FanOut(clear).empty());
  EXPECT_THAT(LogTexts(clear, "clear all"),
              ElementsAre("[ControllerEmbed] doUpdateShareMemory - clear all share memories, old size: 1 "));
  EXPECT_EQ(Dump().dump(), "{}");

  Update(kShareMemoryOpRemove, {Diff("u1", "s1")});
  EXPECT_EQ(Dump().dump(), "{}") << "removing from an empty registry is fine";
}

TEST_F(RegistryTest, MissingOpIsAnAdd) {
  UpdateWithoutOp({Diff("u7", "s7")});
  EXPECT_EQ(Dump().at("s7").at("uid"), "u7");
  EXPECT_EQ(Stored("u7_CAMERA").sid, "s7");
}

}  // namespace
}  // namespace module_test
