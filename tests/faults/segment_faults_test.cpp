// Segments that go wrong under a reading element: a writer that dies in the
// middle of a frame, a segment published again (same name with another size,
// or a new name), a segment its writer shrinks after the module mapped it,
// and registered sizes that do not match the segment.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "faults/fault_page.h"

namespace fault_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

class SegmentFaultTest : public FaultPageTest, public ::testing::WithParamInterface<Role> {
 protected:
  Role role() const { return GetParam(); }
  std::string id() const { return IdOf(GetParam()); }
  std::string Unique(const std::string& what) const {
    return "/tallwick-faults-" + std::to_string(getpid()) + "-" + what;
  }
  // A red frame on screen from u1's segment.
  void ShowRed() {
    PublishSolid("u1", kRed);
    Show(role());
    ASSERT_GE(Presents(Do({Run(100)}), id()), 1u);
    ASSERT_TRUE(Shows(Centre(role()), kRed));
  }
  // No frame reached the screen: the single-stream element presents
  // nothing, the gallery at most its clears to the element's colour.
  void ExpectNoFrameShown(const std::vector<Json>& out) {
    if (role() == Role::kSingleStream) {
      EXPECT_EQ(Presents(out, "v"), 0u);
    } else if (Presents(out, "g") > 0) {
      EXPECT_TRUE(Shows(Centre(role()), kBlue));
    }
  }
};

INSTANTIATE_TEST_SUITE_P(Roles, SegmentFaultTest, ::testing::Values(Role::kSingleStream, Role::kGallery), RoleTestName);

TEST_P(SegmentFaultTest, WriterDyingMidFrameLeavesTheLastPictureUntilANewWriterPublishes) {
  ShowRed();
  // The writer starts a frame of another size, writes half of its luma plane
  // and is gone: the state word stays "writing" for good.
  auto& writer = Writer("u1");
  auto bigger = writer.Geometry();
  bigger.width *= 2;
  bigger.height *= 2;
  ASSERT_TRUE(writer.SetGeometry(bigger));
  writer.BeginFrame();
  for (int32_t row = 0; row < bigger.height / 2; ++row) std::memset(writer.Row(0, row), 0, bigger.width);
  const auto dead = Do({Run(3000)});
  EXPECT_EQ(Presents(dead, id()), 0u) << "nothing half-written is drawn";
  EXPECT_TRUE(Shows(Centre(role()), kRed)) << "the last complete frame stays";
  EXPECT_THAT(LogTexts(dead, "NEED_RESIZE"), IsEmpty());
  if (role() == Role::kGallery) {
    // The tile keeps its stored frame and reports that it stopped.
    EXPECT_THAT(Events(dead, "g"), ElementsAre("MULTI_FRAME_STATUS_CHANGE s-u1 NO_FRAME@1000"));
  } else {
    // A frame that stays "being written" ends every tick before the status
    // check: the element says nothing.
    EXPECT_THAT(Events(dead, "v"), IsEmpty());
  }

  // The media process comes back and publishes the stream again.
  PublishSolid("u1", kGreen);
  const auto back = Do({Run(100)});
  EXPECT_GE(Presents(back, id()), 1u);
  EXPECT_TRUE(Shows(Centre(role()), kGreen));
  if (role() == Role::kGallery) {
    EXPECT_THAT(Events(back, "g"), Contains(HasSubstr("MULTI_FRAME_STATUS_CHANGE s-u1 NORMAL_FRAME")));
  } else {
    EXPECT_THAT(Events(back, "v"), Contains(HasSubstr("NEED_RESIZE")));
  }
  ExpectCleanShutdown({SegmentName("u1")});
}

TEST_P(SegmentFaultTest, PublishedAgainUnderTheSameNameWithAnotherSizeAndThenUnderANewName) {
  const std::string name = Unique("same");
  auto first = MakeWriter(name, 64, 36);
  Register("u1", name, SegmentSize(*first));
  Fill(*first, 1, kRed);
  Show(role());
  Do({Run(100)});
  ASSERT_TRUE(Shows(Centre(role()), kRed));
  EXPECT_EQ(Mappings(name), 2u) << "the writer's view and the element's";

  // Unlinked and made again under the same name, larger.
  first.reset();
  auto second = MakeWriter(name, 128, 72);
  const auto again = Register("u1", name, SegmentSize(*second));
  EXPECT_EQ(Count(again, role() == Role::kGallery ? "Handle native message ResetShoom - sid: u1_CAMERA"
                                                  : "HandleResetShoom - sid: s-u1"),
            1u);
  Fill(*second, 1, kGreen);
  const auto larger = Do({Run(100)});
  EXPECT_TRUE(Shows(Centre(role()), kGreen)) << "frame id 1 again, but a new segment: drawn";
  if (role() == Role::kSingleStream) {
    EXPECT_THAT(Events(larger, "v"), ElementsAre(StartsWith("NEED_RESIZE@")));
  }
  EXPECT_EQ(Mappings(name), 2u) << "the unlinked segment's view is gone";

  // The stream moves to a new name; the old one is left to its writer.
  const std::string renamed = Unique("renamed");
  auto third = MakeWriter(renamed, 64, 36);
  Register("u1", renamed, SegmentSize(*third));
  Fill(*third, 1, kBlue);
  Do({Run(100)});
  EXPECT_TRUE(Shows(Centre(role()), kBlue));
  EXPECT_EQ(Mappings(name), 1u) << "only the writer still maps the old name";
  EXPECT_EQ(Mappings(renamed), 2u);
  ExpectCleanShutdown({name, renamed});
}

TEST_P(SegmentFaultTest, SegmentShrunkByItsWriterIsNeverReadPastItsEnd) {
  ShowRed();
  const std::string name = SegmentName("u1");
  // The header stays in the first page; plane 2 of the frame does not.
  Resize(name, 4096);
  auto& writer = Writer("u1");
  writer.BeginFrame();  // a new frame id, planes untouched: they are no longer there
  writer.EndFrame(100);
  auto out = Do({Run(500)});
  if (role() == Role::kGallery) {
    // A new layout clears and redraws every tile from its stored frame,
    // which is the element's own copy of the last frame drawn: it needs
    // nothing of the shrunk segment.
    const auto moved = Do({Layout({{"u1", "s-u1", 160, 90, 160, 90}}), Run(200)});
    out.insert(out.end(), moved.begin(), moved.end());
  }
  EXPECT_THAT(LogTexts(out, "NEED_RESIZE"), IsEmpty());
  if (role() == Role::kSingleStream) {
    EXPECT_EQ(Presents(out, "v"), 0u);
    EXPECT_TRUE(Shows(Centre(role()), kRed));
  } else {
    // Cleared, the tile in its new place shows its last frame again.
    const auto pixels = Pixels({{240, 135}, {80, 45}});
    EXPECT_TRUE(Shows(pixels[0], kRed));
    EXPECT_TRUE(Shows(pixels[1], kBlue));
  }

  // Nothing left at all, not even the header.
  Resize(name, 0);
  EXPECT_EQ(Presents(Do({Run(500)}), "v"), 0u);

  // The writer grows it back and goes on.
  Resize(name, static_cast<int64_t>(writer.Segment().Size()));
  WriteFrame("u1", Solid(kGreen));
  const auto back = Do({Run(100)});
  EXPECT_GE(Presents(back, id()), 1u);
  const auto pixels = Pixels({{role() == Role::kGallery ? 240 : 80, role() == Role::kGallery ? 135 : 45}}, id());
  ASSERT_EQ(pixels.size(), 1u);
  EXPECT_TRUE(Shows(pixels[0], kGreen));
  ExpectCleanShutdown({name});
}

TEST_P(SegmentFaultTest, RegisteredSizeLargerThanTheSegmentIsRetriedUntilTheRightOneComes) {
  const std::string name = Unique("larger");
  auto writer = MakeWriter(name, 64, 36);
  Fill(*writer, 1, kRed);
  Register("u1", name, SegmentSize(*writer) * 2);
  Show(role());
  const auto out = Do({Run(1500)});
  ExpectNoFrameShown(out);
  EXPECT_THAT(LogTexts(out, role() == Role::kGallery ? "createShoom failed" : "InitShoomFailed"), Not(IsEmpty()));
  EXPECT_THAT(Events(out, id()),
              ElementsAre(role() == Role::kGallery ? "MULTI_FRAME_STATUS_CHANGE s-u1 NO_FRAME@1000"
                                                   : "RENDER_FRAME_STATUS_CHANGE s-u1 NO_FRAME@1000"));
  EXPECT_EQ(Mappings(name), 1u) << "a failed open maps nothing";

  Register("u1", name, SegmentSize(*writer));
  Do({Run(100)});
  EXPECT_TRUE(Shows(Centre(role()), kRed));
  ExpectCleanShutdown({name});
}

TEST_P(SegmentFaultTest, RegisteredSizeSmallerThanTheFrameOrTheHeaderIsNeverRead) {
  const std::string name = Unique("smaller");
  auto writer = MakeWriter(name, 64, 36);
  Fill(*writer, 1, kRed);
  Show(role());
  for (const int64_t size : {SegmentSize(*writer) - 1, SegmentSize(*writer) / 2, int64_t{20}}) {
    Register("u1", name, size);
    const auto out = Do({Run(300)});
    ExpectNoFrameShown(out);
    EXPECT_THAT(LogTexts(out, "NEED_RESIZE"), IsEmpty()) << size;
  }
  Register("u1", name, SegmentSize(*writer));
  Do({Run(100)});
  EXPECT_TRUE(Shows(Centre(role()), kRed));
  ExpectCleanShutdown({name});
}

// The size readers bound their reads by.
TEST(ShmBackedSizeTest, FollowsTheObjectDownButNeverBeyondTheView) {
  const std::string name = "/tallwick-faults-backed-" + std::to_string(getpid());
  constexpr size_t kPage = 4096;
  shoom::Shm writer(name, 3 * kPage);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  shoom::Shm reader(name, 2 * kPage);
  EXPECT_EQ(reader.BackedSize(), 0u) << "nothing mapped yet";
  ASSERT_EQ(reader.Open(), shoom::kOK);
  EXPECT_EQ(reader.BackedSize(), 2 * kPage) << "the object is larger than the view";
  Resize(name, kPage + 10);
  EXPECT_EQ(reader.BackedSize(), kPage + 10);
  EXPECT_EQ(reader.Size(), 2 * kPage) << "the view itself does not change";
  Resize(name, 0);
  EXPECT_EQ(reader.BackedSize(), 0u);
  shoom::Shm::Remove(name);
}

}  // namespace
}  // namespace fault_test
