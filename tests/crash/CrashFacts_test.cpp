// The report's text: what a developer reads first, and the stack lines that
// scripts/symbolize reads (module, "+0x", offset).
#include "crash/CrashFacts.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace crash {
namespace {

const std::vector<TModuleFacts> kModules = {
    {L"BRKPortable.exe", L"8.0.0.0", 0x140000000, 0x175000},
    {L"ntdll.dll", L"6.1.7601.24059", 0x170000000, 0x361000},
};

TCrashFacts AccessViolation() {
  TCrashFacts facts;
  facts.toolVersion = L"8.0.0.0";
  facts.buildStamp = 0x65A3B2C1;
  facts.windowsVersion = L"10.0.19045";
  facts.localTime = L"2024-05-01 14:35:01";
  facts.code = 0xC0000005;
  facts.kind = TCrashKind::fault;
  facts.address = 0x14000D2D7;
  facts.parameters = {1, 0x10};
  facts.threadId = 280;
  facts.threadRole = L"user interface";
  facts.frames = {0x14000D2D7, 0x14000D5B3, 0x1700401A0, 0x140001851, 0x7FFE0000};
  facts.firstScannedFrame = 3;
  facts.dumpName = L"BRKPortable-2024-05-01-123501-276.dmp";
  facts.removedFiles = {L"C:\\Users\\Ann\\Desktop\\BRK_Portable.zip.partial"};
  facts.modules = kModules;
  facts.processes = {L"explorer.exe", L"svchost.exe (3)"};
  facts.machine = {L"Memory: 8192 MB, 4096 MB free"};
  return facts;
}

TEST(CrashReport, SaysWhatWhereAndWhoFirst) {
  const std::wstring report = ComposeReport(AccessViolation());
  for (const wchar_t* line : {
           L"Program:          BRKPortable.exe 8.0.0.0\r\n",
           L"Build:            2024-01-14 10:09:05 UTC (stamp 65a3b2c1)\r\n",
           L"Exception:        0xC0000005 EXCEPTION_ACCESS_VIOLATION: writing address "
           L"0x0000000000000010\r\n",
           L"Cause:            a hardware exception\r\n",
           L"Address:          BRKPortable.exe+0xd2d7\r\n",
           L"Thread:           280 (user interface)\r\n",
           L"Dump:             BRKPortable-2024-05-01-123501-276.dmp\r\n",
           L"Removed:          C:\\Users\\Ann\\Desktop\\BRK_Portable.zip.partial\r\n",
           L"  explorer.exe\r\n",
           L"  0x0000000170000000  ntdll.dll  6.1.7601.24059\r\n",
           L"  Memory: 8192 MB, 4096 MB free\r\n",
       }) {
    EXPECT_NE(report.find(line), std::wstring::npos) << line << "\nin:\n" << report.c_str();
  }
  EXPECT_EQ(report.find(L"C++ exception:"), std::wstring::npos);
}

TEST(CrashReport, ListsTheStackAsModuleAndOffsetInOrder) {
  const std::wstring report = ComposeReport(AccessViolation());
  const std::wregex frame(LR"(\s*#(\d+)\s+(\S+?)\+0x([0-9a-f]+)(.*))");
  std::vector<std::wstring> frames;
  std::wistringstream lines(report);
  for (std::wstring line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.starts_with(L"  #")) frames.push_back(line);
  }
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[0], L"  #0  BRKPortable.exe+0xd2d7");
  EXPECT_EQ(frames[1], L"  #1  BRKPortable.exe+0xd5b3");
  EXPECT_EQ(frames[2], L"  #2  ntdll.dll+0x401a0");
  EXPECT_EQ(frames[3], L"  #3  BRKPortable.exe+0x1851  (found by scanning the stack)");
  // Outside every module: the bare address, which the symboliser leaves be.
  EXPECT_EQ(frames[4], L"  #4  0x000000007FFE0000  (found by scanning the stack)");
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(std::regex_match(frames[i], frame)) << i;
}

TEST(CrashReport, NamesTheCppExceptionReadably) {
  TCrashFacts facts = AccessViolation();
  facts.code = 0x20474343;
  facts.kind = TCrashKind::cppException;
  facts.parameters = {};
  facts.exceptionType = "St13runtime_error";
  facts.exceptionText = "disk on fire";
  const std::wstring report = ComposeReport(facts);
  EXPECT_NE(report.find(L"Exception:        0x20474343 C++ exception (GCC)\r\n"),
            std::wstring::npos);
  EXPECT_NE(report.find(L"C++ exception:    std::runtime_error: disk on fire\r\n"),
            std::wstring::npos);
  EXPECT_NE(report.find(L"Cause:            a C++ exception that nothing caught\r\n"),
            std::wstring::npos);
}

TEST(CrashReport, NamesTheCodesACrashCanCarry) {
  struct Case {
    std::uint32_t code;
    const wchar_t* name;
  };
  const Case cases[] = {
      {0xC0000005, L"EXCEPTION_ACCESS_VIOLATION"},
      {0xC00000FD, L"EXCEPTION_STACK_OVERFLOW"},
      {0xC0000094, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
      {0xC0000409, L"STATUS_STACK_BUFFER_OVERRUN (fail fast)"},
      {0x20474343, L"C++ exception (GCC)"},
      // The same exception while it unwinds.
      {0x21474343, L"C++ exception (GCC)"},
      {0xE06D7363, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExceptionName(c.code), c.name) << std::hex << c.code;
}

TEST(CrashReport, KeepsATypeNameItCannotRead) {
  EXPECT_EQ(ReadableTypeName("St13runtime_error"), "std::runtime_error");
  EXPECT_EQ(ReadableTypeName("not a mangled name"), "not a mangled name");
}

}  // namespace
}  // namespace crash
