// Faults of the host under a drawing element: no 3D context, a lost one,
// swaps that fail, a refused cursor. The element must keep its loop and its
// page, and recover where the host lets it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "embed/protocol.h"
#include "faults/fault_page.h"

namespace fault_test {
namespace {

using ::testing::IsEmpty;
using ::testing::Not;

std::string Refuse(const std::string& what, bool refuse) {
  return R"({"op":")" + what + R"(-refuse","refuse":)" + (refuse ? "true" : "false") + "}";
}

class HostFaultTest : public FaultPageTest, public ::testing::WithParamInterface<Role> {
 protected:
  Role role() const { return GetParam(); }
  std::string id() const { return IdOf(GetParam()); }
  std::string View() const {
    return R"({"op":"view","id":")" + id() +
           (role() == Role::kGallery ? R"(","rect":[0,0,320,180]})" : R"(","rect":[0,0,160,90]})");
  }
  // u1's camera with one red frame, shown by the element for 100 ms.
  void ShowRedCamera() {
    PublishSolid("u1", kRed);
    Show(role());
    Do({Run(100)});
  }
  static std::string ErrorEvent(int32_t code) { return "ERROR " + std::to_string(code); }
  // Events, with an "ERROR" event's code.
  static std::vector<std::string> Errors(const std::vector<Json>& out, const std::string& id) {
    std::vector<std::string> errors;
    for (const Json& post : PostsTo(out, id)) {
      const Json& msg = post.at("msg");
      if (msg.value("command", "") == TALLWICK_PP_RENDER::kEvtError) {
        errors.push_back(ErrorEvent(msg.at("data").value("errorCode", -1)));
      }
    }
    return errors;
  }
  // PONG goes on: the element is alive and heard.
  static size_t Pongs(const std::vector<Json>& out, const std::string& id) {
    size_t pongs = 0;
    for (const Json& post : PostsTo(out, id)) pongs += post.at("msg").value("command", "") == "PONG" ? 1 : 0;
    return pongs;
  }
};

INSTANTIATE_TEST_SUITE_P(Roles, HostFaultTest, ::testing::Values(Role::kSingleStream, Role::kGallery), RoleTestName);

TEST_P(HostFaultTest, NoContextFromTheHostIsReportedAndTheNextViewTriesAgain) {
  PublishSolid("u1", kRed);
  Do({Refuse("context", true)});
  auto out = Show(role());
  const auto fed = RunFeeding({"u1"}, 1000, 50);
  out.insert(out.end(), fed.begin(), fed.end());
  EXPECT_EQ(Presents(out, id()), 0u);
  EXPECT_THAT(Errors(out, id()), Not(IsEmpty())) << "the page hears that the renderer could not start";
  EXPECT_EQ(PageHost().Live().contexts, 0u);
  EXPECT_GE(Pongs(fed, id()), 1u);

  // The host gives contexts again: the next view makes one and frames show.
  Do({Refuse("context", false), View()});
  const auto back = RunFeeding({"u1"}, 200, 50);
  EXPECT_GE(Presents(back, id()), 1u);
  EXPECT_TRUE(Shows(Centre(role()), kRed));
  EXPECT_EQ(PageHost().Live().contexts, 1u);
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_P(HostFaultTest, LostContextKeepsTheLastPictureAndANewInitRecovers) {
  ShowRedCamera();
  const auto lost = Do({R"({"op":"contextlost","id":")" + id() + R"("})"});
  EXPECT_THAT(Errors(lost, id()), ::testing::ElementsAre(ErrorEvent(TALLWICK_PP_RENDER::kErrorContextLost)));
  const auto after = RunFeeding({"u1"}, 1000, 50);
  EXPECT_EQ(Presents(after, id()), 0u);
  EXPECT_GE(Pongs(after, id()), 1u);
  EXPECT_TRUE(Shows(Centre(role()), kRed)) << "what was presented last stays";

  // The page's way back: INIT again (a new renderer), its view, and start.
  Do({Command(id(), "STOP_RENDER"), Run(100)});
  if (role() == Role::kGallery) {
    Init(DefaultInit());
  } else {
    Do({Command(id(), "INIT", R"({"fps":20,"uid":"u1","sid":"s-u1","renderExceptionThreshold":1000,"dpr":1})"),
        View()});
  }
  Do({Command(id(), "START_RENDER")});
  WriteFrame("u1", Solid(kGreen));
  const auto back = RunFeeding({"u1"}, 200, 50);
  EXPECT_GE(Presents(back, id()), 1u);
  EXPECT_TRUE(Shows(Centre(role()), kGreen));
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_P(HostFaultTest, RefusedSwapsKeepTheLoopAliveUntilTheHostTakesThemAgain) {
  ShowRedCamera();
  Do({Refuse("swap", true)});
  WriteFrame("u1", Solid(kGreen));
  const auto refused = RunFeeding({"u1"}, 1000, 50);
  EXPECT_EQ(Presents(refused, id()), 0u);
  EXPECT_TRUE(Shows(Centre(role()), kRed));
  EXPECT_THAT(Errors(refused, id()), IsEmpty());

  Do({Refuse("swap", false)});
  const auto back = RunFeeding({"u1"}, 200, 50);
  EXPECT_GE(Presents(back, id()), 3u) << "one swap per new frame again";
  EXPECT_TRUE(Shows(Centre(role()), kGreen));
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_P(HostFaultTest, RefusedCursorAnswersTenAndTheHostSeesNoCursor) {
  Show(role());
  Do({Refuse("cursor", true)});
  EXPECT_EQ(ErrorOf("HIDE_CURSOR", "{}", id()), TALLWICK_PP_RENDER::kErrorSetCursor);
  const auto shown = Do({Command(id(), "SHOW_CURSOR", R"({"cursorType":2})")});
  const auto replies = Replies(shown);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].value("error", -1), TALLWICK_PP_RENDER::kErrorSetCursor);
  for (const Json& cursor : devhost_test::OfKind(shown, "cursor")) EXPECT_FALSE(cursor.at("ok").get<bool>());

  Do({Refuse("cursor", false)});
  EXPECT_EQ(ErrorOf("HIDE_CURSOR", "{}", id()), 0);
  ExpectCleanShutdown();
}

}  // namespace
}  // namespace fault_test
