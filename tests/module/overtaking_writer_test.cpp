// A writer that overtakes the module in the middle of a read: between two
// plane uploads of a draw it publishes its whole next frame into the segment
// being read, as a media process does when a host's uploads are slow. What
// either role presents is then one frame or another, never planes of two,
// and the newer frame is shown at a later tick.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "module/stream_roles.h"

namespace module_test {
namespace {

using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;

// A role, a frame format, and the plane upload of each tile's draw before
// which the writer overtakes (from 1: 2 is after Y, 3 after Y and U).
struct Overtake {
  const char* name;
  Role role;
  int32_t format;
  int plane;
};

void PrintTo(const Overtake& overtake, std::ostream* out) { *out << overtake.name; }

int PlanesOf(int32_t format) { return format == kFormatNV12 ? 2 : 3; }

// Frames 1, 2 and 3 of every user. Red and blue lie far apart in U and in V,
// so planes of frame 2 with planes of frame 3 make colours no frame has: the
// Y of red with the U and V of blue shows about (49, 47, 255), with the V of
// blue alone about (49, 106, 1).
constexpr Rgb kFirst = kGreen;
constexpr Rgb kRead = kRed;
constexpr Rgb kOvertaking = kBlue;

// Where a picture is looked at: near its corners and at its centre.
const std::vector<std::array<int, 2>> kProbes = {{4, 4},
                                                 {kFrameWidth - 5, 4},
                                                 {kFrameWidth / 2, kFrameHeight / 2},
                                                 {4, kFrameHeight - 5},
                                                 {kFrameWidth - 5, kFrameHeight - 5}};

class OvertakingWriterTest : public StreamRolePageTest, public ::testing::WithParamInterface<Overtake> {
 protected:
  // The users of the case's role, their segments in its format, and frame 1
  // of each shown.
  void ShowFirstFrames() {
    uids_ = GetParam().role == Role::kGallery ? std::vector<std::string>{"u1", "u2"} : std::vector<std::string>{"u1"};
    for (const std::string& uid : uids_) {
      Publish(uid);
      ASSERT_TRUE(Writer(uid).SetGeometry(
          tallwick::frame::MakeGeometry(kFrameWidth, kFrameHeight, GetParam().format, kRowPadding)));
    }
    ShowOn(GetParam().role, uids_);
    for (const std::string& uid : uids_) WriteFrame(uid, Solid(kFirst));
    Do({Command(Element(), "START_RENDER"), Run(kTickMs)});
    for (const std::string& uid : uids_) ASSERT_TRUE(ShowsOneOf(FramePixels(uid, kProbes), {kFirst})) << uid;
  }

  // From now on, before the case's plane upload of each tile's draw, that
  // tile's user publishes `next`. The element draws its tiles one after the
  // other, in the order of uids_ (the order of their keys), each with the
  // same number of plane uploads.
  void OvertakeWith(const Picture& next) {
    const int planes = PlanesOf(GetParam().format);
    const int plane = GetParam().plane;
    auto uploads = std::make_shared<int>(0);
    PageHost().SetBeforeUpload([this, next, planes, plane, uploads] {
      const int upload = (*uploads)++;
      const auto tile = static_cast<size_t>(upload / planes);
      if (upload % planes != plane - 1 || tile >= uids_.size()) return;
      WriteFrame(uids_[tile], next);
      ++overtakes_;
    });
  }

  void StopOvertaking() { PageHost().SetBeforeUpload({}); }

  std::vector<std::string> uids_;
  size_t overtakes_ = 0;
};

TEST_P(OvertakingWriterTest, EveryPresentedPictureIsOneWholeFrameAndTheNewerFrameFollows) {
  ShowFirstFrames();
  for (const std::string& uid : uids_) WriteFrame(uid, Solid(kRead));
  OvertakeWith(Solid(kOvertaking));
  const auto overtaken = Do({Run(kTickMs)});
  StopOvertaking();
  ASSERT_EQ(overtakes_, uids_.size()) << "the writer overtook the read of every tile";
  ASSERT_LE(Presents(overtaken, Element()), 1u) << "the one picture looked at is every picture presented";
  // Frame 2 whole, or (a read that noticed the writer) frame 1 still.
  for (const std::string& uid : uids_) {
    EXPECT_TRUE(ShowsOneOf(FramePixels(uid, kProbes), {kFirst, kRead, kOvertaking})) << uid << ", overtaken";
  }

  const auto next = Do({Run(kTickMs)});
  EXPECT_EQ(Presents(next, Element()), 1u);
  for (const std::string& uid : uids_) {
    EXPECT_TRUE(ShowsOneOf(FramePixels(uid, kProbes), {kOvertaking})) << uid << ", the tick after";
  }
}

INSTANTIATE_TEST_SUITE_P(Roles, OvertakingWriterTest,
                         ::testing::Values(Overtake{"SingleStreamI420AfterY", Role::kSingleStream, kFormatI420, 2},
                                           Overtake{"SingleStreamI420AfterYAndU", Role::kSingleStream, kFormatI420, 3},
                                           Overtake{"SingleStreamNV12AfterY", Role::kSingleStream, kFormatNV12, 2},
                                           Overtake{"GalleryI420AfterY", Role::kGallery, kFormatI420, 2},
                                           Overtake{"GalleryI420AfterYAndU", Role::kGallery, kFormatI420, 3},
                                           Overtake{"GalleryNV12AfterY", Role::kGallery, kFormatNV12, 2}),
                         [](const ::testing::TestParamInfo<Overtake>& overtake) { return overtake.param.name; });

}  // namespace
}  // namespace module_test
