// shoom::Shm on real named file mappings.
#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "frame/shm.h"
#include "windows/windows_segment_name.h"

namespace {

using shoom::Shm;
using tallwick::test::UniqueMappingName;

// The system's handle list (GetProcessHandleCount is a stub under Wine).
struct SystemHandleEntry {
  ULONG ownerProcessId;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandleList {
  ULONG count;
  SystemHandleEntry handles[1];
};
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);

// Handles this process holds.
size_t HandleCount() {
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                  &needed) != 0) {
    if (buffer.size() >= (1u << 28)) return 0;
    buffer.resize(buffer.size() * 2);
  }
  const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
  size_t count = 0;
  for (ULONG i = 0; i < list->count; ++i) {
    if (list->handles[i].ownerProcessId == GetCurrentProcessId()) ++count;
  }
  return count;
}

TEST(WindowsShmTest, OpeningANameNoOneCreatedFails) {
  Shm missing(UniqueMappingName(), 4096);
  EXPECT_EQ(missing.Open(), shoom::kErrorOpeningFailed);
  EXPECT_EQ(missing.Data(), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(WindowsShmTest, ReaderSeesTheWritersBytesAndCannotWrite) {
  const std::string name = UniqueMappingName();
  Shm writer(name, 8192);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  ASSERT_EQ(writer.Size(), 8192u);
  std::memset(writer.Data(), 0x11, 8192);

  Shm first(name, 8192);
  Shm second(name, 8192);
  ASSERT_EQ(first.Open(), shoom::kOK);
  ASSERT_EQ(second.Open(), shoom::kOK);
  EXPECT_NE(first.Data(), second.Data()) << "two views of one mapping";
  writer.Data()[8191] = 0x22;
  EXPECT_EQ(first.Data()[8191], 0x22);
  EXPECT_EQ(std::memcmp(first.Data(), second.Data(), 8192), 0);

  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(first.Data(), &info, sizeof(info)), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY)) << "readers map read-only";
}

TEST(WindowsShmTest, SizeZeroMapsTheWholeObjectAndKnowsItsSize) {
  const std::string name = UniqueMappingName();
  Shm writer(name, 10000);  // not a whole number of pages
  ASSERT_EQ(writer.Create(), shoom::kOK);
  writer.Data()[9999] = 0x7e;

  Shm reader(name, 0);
  ASSERT_EQ(reader.Open(), shoom::kOK);
  // The view covers whole pages: at least the object, never less.
  EXPECT_GE(reader.Size(), 10000u);
  EXPECT_LT(reader.Size(), 10000u + 65536u);
  EXPECT_EQ(reader.Data()[9999], 0x7e);
  EXPECT_EQ(reader.Data()[reader.Size() - 1], 0) << "the whole reported size is readable";
}

TEST(WindowsShmTest, MappingMoreThanTheObjectFails) {
  const std::string name = UniqueMappingName();
  Shm writer(name, 4096);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  Shm reader(name, 1 << 20);
  EXPECT_EQ(reader.Open(), shoom::kErrorMappingFailed);
  EXPECT_EQ(reader.Data(), nullptr);
}

TEST(WindowsShmTest, FailedMappingKeepsItsHandleUntilDestructionAndClosesItOnce) {
  const std::string name = UniqueMappingName();
  auto writer = std::make_unique<Shm>(name, 4096);
  ASSERT_EQ(writer->Create(), shoom::kOK);
  const size_t before = HandleCount();
  ASSERT_GT(before, 0u);
  {
    Shm reader(name, 1 << 20);
    EXPECT_EQ(reader.Open(), shoom::kErrorMappingFailed);
    EXPECT_EQ(HandleCount(), before + 1) << "the handle stays open until destruction";
    // The reader's handle alone keeps the mapping alive.
    writer.reset();
    Shm other(name, 4096);
    EXPECT_EQ(other.Open(), shoom::kOK);
  }
  EXPECT_EQ(HandleCount(), before - 1) << "the reader's handle closed, and the writer's";
  Shm gone(name, 4096);
  EXPECT_EQ(gone.Open(), shoom::kErrorOpeningFailed) << "the last handle took the mapping with it";
}

TEST(WindowsShmTest, CreatingAnExistingNameOpensTheSameObject) {
  const std::string name = UniqueMappingName();
  Shm first(name, 4096);
  ASSERT_EQ(first.Create(), shoom::kOK);
  first.Data()[100] = 0x33;
  Shm again(name, 4096);
  ASSERT_EQ(again.Create(), shoom::kOK);
  EXPECT_EQ(again.Data()[100], 0x33);
}

}  // namespace
