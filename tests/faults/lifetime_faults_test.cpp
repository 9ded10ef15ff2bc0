// Elements that go away with work pending, a controller element that goes
// while render elements stay, and many create/destroy cycles of every role
// with live streams: nothing may run on a dead element and nothing may stay
// alive after it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "controller/controller_embed.h"
#include "faults/fault_page.h"

namespace fault_test {
namespace {

constexpr int kCycles = 1000;

class LifetimeFaultTest : public FaultPageTest, public ::testing::WithParamInterface<Role> {
 protected:
  Role role() const { return GetParam(); }
  std::string id() const { return IdOf(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Roles, LifetimeFaultTest, ::testing::Values(Role::kSingleStream, Role::kGallery),
                         RoleTestName);

TEST_P(LifetimeFaultTest, DestroyedWithATickASwapAndAReopenPending) {
  PublishSolid("u1", kRed);
  Show(role());  // the first frame's swap and the next tick are queued
  // RESET_SHOOM reaches the element: its segment is dropped, the reopen
  // waits for the next tick.
  Publish("u1", "-b");
  WriteFrame("u1", Solid(kGreen));
  const auto gone = Do({Destroy(id()), Run(500)});
  EXPECT_TRUE(PostsTo(gone, id()).empty()) << "nothing runs on the destroyed element";
  EXPECT_EQ(Mappings(SegmentName("u1", "-b")), 1u) << "only the writer's view is left";
  // The next fan-out skips it.
  Publish("u1", "-c");
  EXPECT_TRUE(devhost_test::OfKind(Do({Run(100)}), "error").empty());
  ExpectCleanShutdown({SegmentName("u1", "-c")});
}

TEST_F(FaultPageTest, ControllerElementDestroyedWhileRenderElementsGoOn) {
  PublishSolid("u1", kRed);
  Show(Role::kGallery);
  Show(Role::kSingleStream);
  Do({Destroy("c")});
  // The registry outlives the element: both keep drawing new frames.
  const auto fed = RunFeeding({"u1"}, 300, 50);
  EXPECT_GE(Presents(fed, "g"), 3u);
  EXPECT_GE(Presents(fed, "v"), 3u);
  EXPECT_TRUE(PostsTo(fed, "c").empty());

  // A new controller element takes over and moves the stream.
  Do({Create("c2", R"([["data-controller",""]])")});
  auto writer = MakeWriter(SegmentName("u1", "-moved"), module_test::kFrameWidth, module_test::kFrameHeight);
  Register("u1", SegmentName("u1", "-moved"), SegmentSize(*writer), "c2");
  Fill(*writer, 1, kWhite);
  Do({Run(100)});
  EXPECT_TRUE(Shows(Centre(Role::kGallery), kWhite));
  EXPECT_TRUE(Shows(Centre(Role::kSingleStream), kWhite));
  ExpectCleanShutdown({SegmentName("u1"), SegmentName("u1", "-moved")});
}

TEST_F(FaultPageTest, ControllerElementDestroyedBeforeItsHandshakeEndsIsNeverPostedTo) {
  // No message ever reaches it: the handshake chain would post for 5000 ms.
  const auto out = Do({Create("c3", R"([["data-controller",""]])"), Destroy("c3"), Run(6000)});
  EXPECT_EQ(PostsTo(out, "c3").size(), 1u) << "only the INSTANCE_LOADED of its own start";
  EXPECT_TRUE(devhost_test::OfKind(out, "error").empty());
  ExpectCleanShutdown();
}

// One element of each role created and destroyed kCycles times while u1's
// stream runs and the page's own controller and gallery stay. What the
// module holds afterwards is what it held before.
class CycleFaultTest : public FaultPageTest {
 protected:
  CycleFaultTest() { PublishSolid("u1", kRed); }

  struct Held {
    pphost::LiveCounts live;
    size_t views = 0;
    size_t controllerElements = 0;
  };
  Held Now() {
    return {PageHost().Live(), Mappings(SegmentName("u1")),
            TALLWICK_PP_RENDER::ControllerEmbed::GetInstance()->ContextInstanceCount()};
  }
  static void ExpectSame(const Held& before, const Held& after) {
    EXPECT_EQ(after.live.vars, before.live.vars);
    EXPECT_EQ(after.live.resources, before.live.resources);
    EXPECT_EQ(after.live.contexts, before.live.contexts);
    EXPECT_EQ(after.views, before.views);
    // The controller forgets a destroyed element when the next one registers.
    EXPECT_LE(after.controllerElements, before.controllerElements + 1);
  }

  // Each cycle: create, INIT, the element's first frame drawn, destroy.
  void Cycle(const std::vector<std::string>& lines) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
      WriteFrame("u1");
      const auto out = Do(lines);
      if (!devhost_test::OfKind(out, "error").empty()) {
        ADD_FAILURE() << "cycle " << cycle << ": " << devhost_test::OfKind(out, "error")[0].dump();
        return;
      }
    }
  }
};

TEST_F(CycleFaultTest, SingleStreamElements) {
  const Held before = Now();
  Cycle({Create("x"),
         Command("x", "INIT", R"({"fps":20,"uid":"u1","sid":"s-u1","renderExceptionThreshold":1000,"dpr":1})"),
         R"({"op":"view","id":"x","rect":[0,0,32,18]})", Command("x", "START_RENDER"), Run(50), Destroy("x")});
  ExpectSame(before, Now());
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_F(CycleFaultTest, GalleryElements) {
  const Held before = Now();
  Cycle({Create("x", R"([["data-multi",""]])"), Command("x", "INIT", DefaultInit().dump()),
         R"({"op":"view","id":"x","rect":[0,0,32,18]})", Layout({{"u1", "s-u1", 0, 0, 32, 18}}, "x"),
         Command("x", "START_RENDER"), Run(50), Destroy("x")});
  ExpectSame(before, Now());
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_F(CycleFaultTest, ControllerElements) {
  // Each controller element publishes the stream again: the fan-out reaches
  // the gallery, which reopens its segment.
  Init(DefaultInit());
  Do({Layout({{"u1", "s-u1", 0, 0, 160, 90}}), Command("g", "START_RENDER"), Run(50)});
  const Json diff = {{"path", SegmentName("u1")}, {"uid", "u1"}, {"sid", "s-u1"}, {"bufferSize", 0}};
  const Json update = {{"op", 0}, {"diffs", Json::array({diff})}};
  const Held before = Now();
  // The folder the test's log already goes to: INIT keeps the same file.
  const Json init = {{"logVersion", 1},
                     {"logPath", (std::filesystem::temp_directory_path() / "tallwick-module-tests").string()}};
  Cycle({Create("x", R"([["data-controller",""]])"), Command("x", "INIT", init.dump()),
         Command("x", "DO_UPDATE_SHARED_MEMORY", update.dump()), Run(50), Destroy("x")});
  ExpectSame(before, Now());
  EXPECT_TRUE(Shows(Centre(Role::kGallery), kRed));
  ExpectCleanShutdown({SegmentName("u1")});
}

}  // namespace
}  // namespace fault_test
