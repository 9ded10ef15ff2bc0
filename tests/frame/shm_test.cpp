#include "frame/shm.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "segment_name.h"

namespace {

using shoom::Shm;
using tallwick::test::ScopedSegmentName;

size_t OpenDescriptors() {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST(ShmTest, OpeningANameNoOneCreatedFails) {
  ScopedSegmentName name;
  Shm missing(name.Get(), 4096);
  EXPECT_EQ(missing.Open(), shoom::kErrorOpeningFailed);
  EXPECT_EQ(missing.Data(), nullptr);

  Shm unnamed("", 4096);
  EXPECT_EQ(unnamed.Open(), shoom::kErrorOpeningFailed);
  EXPECT_EQ(unnamed.Data(), nullptr);
}

TEST(ShmTest, RemovedNameCannotBeOpenedButMappedViewsStay) {
  ScopedSegmentName name;
  Shm writer(name.Get(), 4096);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  writer.Data()[0] = 0x5a;
  Shm reader(name.Get(), 4096);
  ASSERT_EQ(reader.Open(), shoom::kOK);

  EXPECT_TRUE(Shm::Remove(name.Get()));
  EXPECT_FALSE(Shm::Remove(name.Get()));
  Shm late(name.Get(), 4096);
  EXPECT_EQ(late.Open(), shoom::kErrorOpeningFailed);
  EXPECT_EQ(reader.Data()[0], 0x5a);
}

TEST(ShmTest, TwoReadersSeeTheWritersBytes) {
  ScopedSegmentName name;
  Shm writer(name.Get(), 8192);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  std::memset(writer.Data(), 0x11, 8192);
  Shm first(name.Get(), 8192);
  Shm second(name.Get(), 8192);
  ASSERT_EQ(first.Open(), shoom::kOK);
  ASSERT_EQ(second.Open(), shoom::kOK);
  EXPECT_NE(first.Data(), second.Data()) << "two views of one segment";

  writer.Data()[8191] = 0x22;
  EXPECT_EQ(first.Data()[8191], 0x22);
  EXPECT_EQ(second.Data()[8191], 0x22);
  EXPECT_EQ(std::memcmp(first.Data(), second.Data(), 8192), 0);
  EXPECT_EQ(first.Path(), name.Get());
}

TEST(ShmTest, SizeZeroMapsTheWholeObject) {
  ScopedSegmentName name;
  Shm writer(name.Get(), 10000);  // not a whole number of pages
  ASSERT_EQ(writer.Create(), shoom::kOK);
  writer.Data()[9999] = 0x7e;

  Shm reader(name.Get(), 0);
  ASSERT_EQ(reader.Open(), shoom::kOK);
  EXPECT_EQ(reader.Size(), 10000u);
  EXPECT_EQ(reader.Data()[9999], 0x7e);
}

TEST(ShmTest, MappingMoreThanTheObjectFails) {
  ScopedSegmentName name;
  Shm writer(name.Get(), 4096);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  Shm reader(name.Get(), 4097);
  errno = 0;
  EXPECT_EQ(reader.Open(), shoom::kErrorMappingFailed);
  EXPECT_EQ(errno, EINVAL) << "the log's system error says why";
  EXPECT_EQ(reader.Data(), nullptr);
}

TEST(ShmTest, AnEmptyObjectCannotBeMapped) {
  ScopedSegmentName name;
  const int fd = shm_open(name.Get().c_str(), O_CREAT | O_RDWR, 0644);
  ASSERT_GE(fd, 0);
  close(fd);
  Shm reader(name.Get(), 0);
  errno = 0;
  EXPECT_EQ(reader.Open(), shoom::kErrorMappingFailed);
  EXPECT_EQ(errno, EINVAL);
}

TEST(ShmTest, FailedMappingReleasesItsHandleOnDestruction) {
  ScopedSegmentName name;
  Shm writer(name.Get(), 4096);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  const size_t before = OpenDescriptors();
  {
    Shm reader(name.Get(), 1 << 20);
    EXPECT_EQ(reader.Open(), shoom::kErrorMappingFailed);
    EXPECT_EQ(OpenDescriptors(), before + 1) << "the handle stays open until destruction";
  }
  EXPECT_EQ(OpenDescriptors(), before);
  {
    Shm reader(name.Get(), 4096);
    ASSERT_EQ(reader.Open(), shoom::kOK);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(ShmTest, CreateGrowsASmallerObjectAndKeepsALargerOne) {
  ScopedSegmentName name;
  Shm small(name.Get(), 100);
  ASSERT_EQ(small.Create(), shoom::kOK);
  small.Data()[99] = 0x33;

  Shm larger(name.Get(), 5000);
  ASSERT_EQ(larger.Create(), shoom::kOK);
  EXPECT_EQ(larger.Data()[99], 0x33) << "growing keeps the content";
  Shm whole(name.Get(), 0);
  ASSERT_EQ(whole.Open(), shoom::kOK);
  EXPECT_EQ(whole.Size(), 5000u);

  Shm smaller(name.Get(), 200);
  ASSERT_EQ(smaller.Create(), shoom::kOK);
  EXPECT_EQ(smaller.Size(), 200u);
  Shm wholeAgain(name.Get(), 0);
  ASSERT_EQ(wholeAgain.Open(), shoom::kOK);
  EXPECT_EQ(wholeAgain.Size(), 5000u) << "an existing larger object is not shrunk";
}

}  // namespace
