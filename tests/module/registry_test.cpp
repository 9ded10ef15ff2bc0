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

  // The stream keys of the "RESET_SHOOM" native messages, per receiving
  // instance, in the order they arrived.
  static std::vector<std::string> FanOut(const std::vector<Json>& out) {
    std::vector<std::string> seen;
    for (const std::string& text : LogTexts(out, "RESET_SHOOM")) {
      if (text.find("Incoming native message") != std::string::npos) seen.push_back(text);
    }
    return seen;
  }
};

TEST_F(RegistryTest, CameraThenScreenOfOneUserFanOutToEveryInstanceInOrder) {
  const auto out =
      Update(kShareMemoryOpAdd,
             {Diff("u1", "s1"), Diff("u1", "s2", R"(,"isScreen":true,"frameFormat":)" + std::to_string(kFormatNV12))});
  EXPECT_EQ(Replies(out).at(0).at("error"), kErrorNone);
  EXPECT_EQ(FanOut(out).size(), 6u) << "three instances, two records";
  const auto adds = LogTexts(out, "add shareMemoryDiff");
  ASSERT_EQ(adds.size(), 2u);
  EXPECT_NE(adds[0].find("key: u1_CAMERA format: 0"), std::string::npos) << adds[0];
  EXPECT_NE(adds[1].find("key: u1_SCREEN format: 2"), std::string::npos) << adds[1];
  // Each record's fan-out comes before its "add" line, to all instances in
  // ascending order (the controller too, which does not know the command).
  std::vector<std::string> order;
  for (const Json& line : devhost_test::OfKind(out, "log")) {
    const std::string text = line.at("text").get<std::string>();
    if (text.find("Incoming native message") != std::string::npos) order.push_back("native");
    if (text.find("add shareMemoryDiff") != std::string::npos) order.push_back("add");
  }
  EXPECT_THAT(order, ElementsAre("native", "native", "native", "add", "native", "native", "native", "add"));
  EXPECT_EQ(LogTexts(out, "no need to reset this shoom").size(), 2u) << "the single-stream element shows another key";

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
  TALLWICK_PP_RENDER::ShareMemoryDiff found;
  auto* controller = TALLWICK_PP_RENDER::ControllerEmbed::GetInstance();
  EXPECT_TRUE(controller->GetShareMemoryDiff("u1_SCREEN", &found));
  EXPECT_EQ(found.sid, "a");
  EXPECT_TRUE(controller->GetShareMemoryDiff("u2_MERGE", &found));
  EXPECT_EQ(found.sid, "b");
  EXPECT_FALSE(controller->GetShareMemoryDiff("u1_MERGE", &found));
}

TEST_F(RegistryTest, RgbaIsSkippedWithoutFanOutOrDoneLine) {
  const auto out = Update(kShareMemoryOpAdd,
                          {Diff("u1", "s1", R"(,"frameFormat":)" + std::to_string(kFormatRGBA)), Diff("u2", "s2")});
  EXPECT_EQ(Replies(out).at(0).at("error"), kErrorNone);
  EXPECT_EQ(LogTexts(out, "framedata is RGBA").size(), 1u);
  EXPECT_EQ(FanOut(out).size(), 3u);
  EXPECT_EQ(LogTexts(out, "done doUpdateShareMemory").size(), 1u);
  EXPECT_EQ(Dump().size(), 1u);
}

TEST_F(RegistryTest, ReplaceRemoveClearAndUnknownOps) {
  Update(kShareMemoryOpAdd, {Diff("u1", "s1")});
  Update(kShareMemoryOpAdd, {R"({"path":"/new","uid":"u1","sid":"s1","bufferSize":5000,"bufferNumber":1})"});
  EXPECT_EQ(Dump().at("s1").at("path"), "/new");
  EXPECT_EQ(Dump().at("s1").at("bufferSize"), 5000);

  const auto removeAbsent = Update(kShareMemoryOpRemove, {Diff("nobody", "x")});
  EXPECT_EQ(LogTexts(removeAbsent, "remove shareMemoryDiff").size(), 1u);
  EXPECT_EQ(LogTexts(removeAbsent, "done doUpdateShareMemory").size(), 1u);
  EXPECT_EQ(Dump().size(), 1u);

  const auto unknown = Update(kUnknownOp, {Diff("u1", "s1"), Diff("u2", "s2")});
  EXPECT_EQ(LogTexts(unknown, "done doUpdateShareMemory").size(), 2u);
  EXPECT_TRUE(FanOut(unknown).empty());
  EXPECT_EQ(Dump().size(), 1u);

  const auto clear = Update(kShareMemoryOpClear, {Diff("u3", "s3")});
  EXPECT_TRUE(FanOut(clear).empty());
  EXPECT_THAT(LogTexts(clear, "clear all"),
              ElementsAre("[ControllerEmbed] doUpdateShareMemory - clear all share memories, old size: 1 "));
  EXPECT_EQ(Dump().dump(), "{}");

  Update(kShareMemoryOpRemove, {Diff("u1", "s1")});
  EXPECT_EQ(Dump().dump(), "{}") << "removing from an empty registry is fine";
}

TEST_F(RegistryTest, MissingOpIsAnAdd) {
  const auto out = UpdateWithoutOp({Diff("u7", "s7")});
  EXPECT_EQ(FanOut(out).size(), 3u);
  EXPECT_EQ(Dump().at("s7").at("uid"), "u7");
}

}  // namespace
}  // namespace module_test
