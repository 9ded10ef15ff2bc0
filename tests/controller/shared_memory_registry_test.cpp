#include "controller/shared_memory_registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/frame_layout.h"

namespace {

using TALLWICK_PP_RENDER::MakeStreamKey;
using TALLWICK_PP_RENDER::SharedMemoryRegistry;
using TALLWICK_PP_RENDER::ShareMemoryDiff;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

ShareMemoryDiff Record(const std::string& uid, const std::string& sid, bool isScreen = false, bool isMerge = false) {
  ShareMemoryDiff diff;
  diff.path = "/seg-" + sid;
  diff.uid = uid;
  diff.sid = sid;
  diff.bufferSize = 1000;
  diff.bufferNumber = 2;
  diff.isScreen = isScreen;
  diff.isMerge = isMerge;
  return diff;
}

std::vector<std::string> Sids(const std::vector<ShareMemoryDiff>& records) {
  std::vector<std::string> sids;
  sids.reserve(records.size());
  for (const ShareMemoryDiff& record : records) sids.push_back(record.sid);
  return sids;
}

// A registry whose add notice records, for every key it is told, the sid the
// registry held under that key at that moment ("" for none).
class SharedMemoryRegistryTest : public ::testing::Test {
 protected:
  struct Notice {
    std::string key;
    std::string heldSid;
  };

  std::vector<Notice> notices_;
  SharedMemoryRegistry registry_{[this](const std::string& key) {
    ShareMemoryDiff held;
    notices_.push_back({key, registry_.Find(key, &held) ? held.sid : ""});
  }};
};

TEST(StreamKeyTest, ScreenWinsOverMergeWhichWinsOverCamera) {
  EXPECT_EQ(MakeStreamKey("u1", false, false), "u1_CAMERA");
  EXPECT_EQ(MakeStreamKey("u1", true, false), "u1_SCREEN");
  EXPECT_EQ(MakeStreamKey("u1", false, true), "u1_MERGE");
  EXPECT_EQ(MakeStreamKey("u1", true, true), "u1_SCREEN");
  EXPECT_EQ(MakeStreamKey("", false, false), "_CAMERA") << "an empty uid gives the bare suffix";
}

TEST_F(SharedMemoryRegistryTest, AddKeepsOneRecordPerStreamKeyAndFindCopiesIt) {
  EXPECT_EQ(registry_.Add(Record("u1", "cam")), "u1_CAMERA");
  EXPECT_EQ(registry_.Add(Record("u1", "scr", true, true)), "u1_SCREEN");
  EXPECT_EQ(registry_.Add(Record("u2", "mix", false, true)), "u2_MERGE");
  EXPECT_EQ(registry_.Size(), 3u);

  ShareMemoryDiff found;
  ASSERT_TRUE(registry_.Find("u1_SCREEN", &found));
  EXPECT_EQ(found.sid, "scr");
  EXPECT_EQ(found.path, "/seg-scr");
  EXPECT_TRUE(found.isMerge);
  ASSERT_TRUE(registry_.Find("u2_MERGE", &found));
  EXPECT_FALSE(registry_.Find("u1_MERGE", &found));
  EXPECT_FALSE(registry_.Find("u2_CAMERA", &found));
  EXPECT_EQ(found.sid, "mix") << "a failed look-up leaves the record untouched";
}

TEST_F(SharedMemoryRegistryTest, AddOfAKeyAlreadyThereReplacesEveryField) {
  registry_.Add(Record("u1", "old"));
  ShareMemoryDiff replacement = Record("u1", "new");
  replacement.path = "/other";
  replacement.bufferSize = 5000;
  replacement.bufferNumber = 1;
  replacement.frameFormat = tallwick::frame::kFormatNV12;
  registry_.Add(replacement);

  EXPECT_EQ(registry_.Size(), 1u);
  ShareMemoryDiff found;
  ASSERT_TRUE(registry_.Find("u1_CAMERA", &found));
  EXPECT_EQ(found.sid, "new");
  EXPECT_EQ(found.path, "/other");
  EXPECT_EQ(found.bufferSize, 5000);
  EXPECT_EQ(found.bufferNumber, 1);
  EXPECT_EQ(found.frameFormat, tallwick::frame::kFormatNV12);
}

TEST_F(SharedMemoryRegistryTest, RemoveDropsOnlyItsKeyAndClearDropsAll) {
  registry_.Add(Record("u1", "cam"));
  registry_.Add(Record("u1", "scr", true));
  EXPECT_EQ(registry_.Remove(Record("u1", "any sid", true)), "u1_SCREEN") << "the key, not the sid, is removed";
  EXPECT_THAT(Sids(registry_.Dump()), ElementsAre("cam"));

  registry_.Remove(Record("nobody", "x"));
  EXPECT_EQ(registry_.Size(), 1u) << "removing an absent key changes nothing";

  registry_.Clear();
  EXPECT_EQ(registry_.Size(), 0u);
  EXPECT_TRUE(registry_.Dump().empty());
  registry_.Remove(Record("u1", "cam"));
  registry_.Clear();
  EXPECT_EQ(registry_.Size(), 0u) << "removing from or clearing an empty registry is fine";
}

TEST_F(SharedMemoryRegistryTest, DumpHoldsEveryRecordWithAllItsFields) {
  EXPECT_TRUE(registry_.Dump().empty());
  ShareMemoryDiff screen = Record("u2", "s2", true);
  screen.frameFormat = tallwick::frame::kFormatNV12;
  registry_.Add(Record("u1", "s1"));
  registry_.Add(screen);
  const std::vector<ShareMemoryDiff> dump = registry_.Dump();
  EXPECT_THAT(Sids(dump), UnorderedElementsAre("s1", "s2"));
  for (const ShareMemoryDiff& record : dump) {
    if (record.sid != "s2") continue;
    EXPECT_EQ(record.path, "/seg-s2");
    EXPECT_EQ(record.uid, "u2");
    EXPECT_EQ(record.bufferSize, 1000);
    EXPECT_EQ(record.bufferNumber, 2);
    EXPECT_TRUE(record.isScreen);
    EXPECT_FALSE(record.isMerge);
    EXPECT_EQ(record.frameFormat, tallwick::frame::kFormatNV12);
  }
}

TEST_F(SharedMemoryRegistryTest, EveryAddIsNoticedInOrderBeforeItsRecordIsStored) {
  registry_.Add(Record("u1", "cam"));
  registry_.Add(Record("u1", "scr", true));
  registry_.Add(Record("u1", "cam2"));
  ASSERT_EQ(notices_.size(), 3u);
  EXPECT_EQ(notices_[0].key, "u1_CAMERA");
  EXPECT_EQ(notices_[1].key, "u1_SCREEN");
  EXPECT_EQ(notices_[2].key, "u1_CAMERA");
  EXPECT_EQ(notices_[0].heldSid, "") << "a new key is not there yet when noticed";
  EXPECT_EQ(notices_[2].heldSid, "cam") << "a replaced record is still the old one when noticed";

  registry_.Remove(Record("u1", "scr", true));
  registry_.Clear();
  EXPECT_EQ(notices_.size(), 3u) << "remove and clear send no notice";
}

}  // namespace
