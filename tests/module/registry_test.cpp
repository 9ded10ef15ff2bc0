#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controller/controller_embed.h"
#include "module/module_page.h"

namespace module_test {
namespace {

using ::testing::ElementsAre;

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

  std::vector<Json> Update(const std::string& op, const std::vector<std::string>& diffs) {
    std::string list = "[";
    for (const std::string& diff : diffs) list += (list.size() > 1 ? "," : "") + diff;
    list += "]";
    const std::string opField = op.empty() ? "" : R"("op":)" + op + ",";
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
  const auto out = Update("0", {Diff("u1", "s1"), Diff("u1", "s2", R"(,"isScreen":true,"frameFormat":2)")});
  EXPECT_EQ(Replies(out).at(0).at("error"), 0);
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

TEST_F(RegistryTest, KeysFollowScreenThenMergePrecedence) {
  Update("0", {Diff("u1", "a", R"(,"isScreen":true,"isMerge":true)"), Diff("u2", "b", R"(,"isMerge":true)")});
  TALLWICK_PP_RENDER::ShareMemoryDiff found;
  auto* controller = TALLWICK_PP_RENDER::ControllerEmbed::GetInstance();
  EXPECT_TRUE(controller->GetShareMemoryDiff("u1_SCREEN", &found));
  EXPECT_EQ(found.sid, "a");
  EXPECT_TRUE(controller->GetShareMemoryDiff("u2_MERGE", &found));
  EXPECT_FALSE(controller->GetShareMemoryDiff("u1_MERGE", &found));
  EXPECT_EQ(found.sid, "b") << "a failed lookup leaves the record untouched";
}

TEST_F(RegistryTest, RgbaIsSkippedWithoutFanOutOrDoneLine) {
  const auto out = Update("0", {Diff("u1", "s1", R"(,"frameFormat":1)"), Diff("u2", "s2")});
  EXPECT_EQ(Replies(out).at(0).at("error"), 0);
  EXPECT_EQ(LogTexts(out, "framedata is RGBA").size(), 1u);
  EXPECT_EQ(FanOut(out).size(), 3u);
  EXPECT_EQ(LogTexts(out, "done doUpdateShareMemory").size(), 1u);
  EXPECT_EQ(Dump().size(), 1u);
}

TEST_F(RegistryTest, ReplaceRemoveClearAndUnknownOps) {
  Update("0", {Diff("u1", "s1")});
  Update("0", {R"({"path":"/new","uid":"u1","sid":"s1","bufferSize":5000,"bufferNumber":1})"});
  EXPECT_EQ(Dump().at("s1").at("path"), "/new");
  EXPECT_EQ(Dump().at("s1").at("bufferSize"), 5000);

  const auto removeAbsent = Update("1", {Diff("nobody", "x")});
  EXPECT_EQ(LogTexts(removeAbsent, "remove shareMemoryDiff").size(), 1u);
  EXPECT_NE(LogTexts(removeAbsent, "done doUpdateShareMemory").at(0).find("now size: 1"), std::string::npos);

  const auto unknown = Update("5", {Diff("u1", "s1"), Diff("u2", "s2")});
  EXPECT_EQ(LogTexts(unknown, "done doUpdateShareMemory").size(), 2u);
  EXPECT_TRUE(FanOut(unknown).empty());
  EXPECT_EQ(Dump().size(), 1u);

  const auto clear = Update("2", {Diff("u3", "s3")});
  EXPECT_TRUE(FanOut(clear).empty());
  EXPECT_THAT(LogTexts(clear, "clear all"),
              ElementsAre("[ControllerEmbed] doUpdateShareMemory - clear all share memories, old size: 1 "));
  EXPECT_EQ(Dump().dump(), "{}");

  Update("1", {Diff("u1", "s1")});
  EXPECT_EQ(Dump().dump(), "{}") << "removing from an empty registry is fine";
}

TEST_F(RegistryTest, MissingOpIsAnAdd) {
  const auto out = Update("", {Diff("u7", "s7")});
  EXPECT_EQ(FanOut(out).size(), 3u);
  EXPECT_EQ(Dump().at("s7").at("uid"), "u7");
}

}  // namespace
}  // namespace module_test
