// SET_PROCESS_TITLE's Windows side: the UTF-8 title becomes the console's
// UTF-16 title, cut to 8191 characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controller/process_info.h"

namespace {

std::wstring ConsoleTitle() {
  std::vector<wchar_t> title(40000, L'\0');
  const DWORD length = GetConsoleTitleW(title.data(), static_cast<DWORD>(title.size()));
  return std::wstring(title.data(), length);
}

class WindowsConsoleTitleTest : public testing::Test {
 protected:
  void SetUp() override {
    // Wine gives a process a console only when it runs in a terminal.
    ASSERT_NE(GetConsoleWindow(), nullptr) << "run this in a console";
  }
};

TEST_F(WindowsConsoleTitleTest, Utf8TitleArrivesAsUtf16) {
  // "Zoë – 会议 😀": two-, three- and four-byte UTF-8 sequences.
  TALLWICK_PP_RENDER::SetProcessTitle("Zo\xC3\xAB \xE2\x80\x93 \xE4\xBC\x9A\xE8\xAE\xAE \xF0\x9F\x98\x80");
  EXPECT_EQ(ConsoleTitle(), L"Zo\u00EB \u2013 \u4F1A\u8BAE \U0001F600");
}

TEST_F(WindowsConsoleTitleTest, LongTitleIsCutTo8191Characters) {
  std::string title(9000, 'a');
  title[8190] = 'b';
  title[8191] = 'c';
  TALLWICK_PP_RENDER::SetProcessTitle(title);
  const std::wstring shown = ConsoleTitle();
  ASSERT_EQ(shown.size(), 8191u);
  EXPECT_EQ(shown.back(), L'b');
}

TEST_F(WindowsConsoleTitleTest, EmptyTitleIsAccepted) {
  TALLWICK_PP_RENDER::SetProcessTitle("first");
  TALLWICK_PP_RENDER::SetProcessTitle("");
  EXPECT_EQ(ConsoleTitle(), L"");
}

}  // namespace
