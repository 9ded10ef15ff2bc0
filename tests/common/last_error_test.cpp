#include "common/last_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(LastErrorStringTest, ZeroIsEmptyOtherwiseDecimal) {
  errno = 0;
  EXPECT_EQ(TALLWICK_COMMON::LastErrorString(), "");
  errno = ENOENT;
  EXPECT_EQ(TALLWICK_COMMON::LastErrorString(), std::to_string(ENOENT));
  errno = 0;
}

TEST(LastErrorTextTest, TheSystemsWordsWithTheNumber) {
  errno = ENOENT;
  EXPECT_EQ(TALLWICK_COMMON::LastErrorText(), "No such file or directory (2)");
  errno = EINVAL;
  EXPECT_EQ(TALLWICK_COMMON::LastErrorText(), "Invalid argument (22)");
  errno = 0;
  EXPECT_EQ(TALLWICK_COMMON::LastErrorText(), "no error");
}

}  // namespace
