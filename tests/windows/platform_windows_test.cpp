// The module's Windows services: last-error text, debugger output and
// process id.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/debug_trace.h"
#include "common/last_error.h"
#include "controller/process_info.h"
#include "frame/shm.h"
#include "windows/windows_segment_name.h"

namespace {

using TALLWICK_COMMON::LastErrorString;

TEST(WindowsLastErrorTest, MissingMappingGivesItsErrorNumber) {
  shoom::Shm missing(tallwick::test::UniqueMappingName(), 4096);
  ASSERT_EQ(missing.Open(), shoom::kErrorOpeningFailed);
  EXPECT_EQ(LastErrorString(), "2") << "ERROR_FILE_NOT_FOUND";

  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(LastErrorString(), "");
  SetLastError(0xE0000001u);
  EXPECT_EQ(LastErrorString(), "3758096385") << "unsigned, no sign";
}

// Debugger output arrives as a first-chance exception that a vectored handler
// sees even without a debugger: the wide form carries the text as UTF-16,
// the narrow one (which Windows raises as well) as bytes.
std::vector<std::wstring> g_debugLines;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && record->NumberParameters >= 2) {
    g_debugLines.emplace_back(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    const std::string text(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    g_debugLines.emplace_back(text.begin(), text.end());
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST(WindowsDebugTraceTest, GoesToTheDebuggerOutput) {
  g_debugLines.clear();
  void* handler = AddVectoredExceptionHandler(1, CatchDebugOutput);
  ASSERT_NE(handler, nullptr);
  TALLWICK_LOG::DebugTrace(L"render module contruct...%08x", 0xbeefu);
  RemoveVectoredExceptionHandler(handler);

  ASSERT_FALSE(g_debugLines.empty());
  EXPECT_EQ(g_debugLines.front(), L"render module contruct...0000beef");
}

TEST(WindowsProcessIdTest, IsTheSystemsId) {
  EXPECT_EQ(TALLWICK_PP_RENDER::CurrentProcessId(), static_cast<int32_t>(GetCurrentProcessId()));
}

}  // namespace
