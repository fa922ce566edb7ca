// The reports folder: complete files only, named so that they sort by time,
// and no more than the newest reports kept.
#include "crash/ReportFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../i18n/TempFolder.h"

namespace crash {
namespace {

using i18n::testing_support::ReadBytes;
using i18n::testing_support::TempFolder;

std::vector<std::wstring> Names(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
  std::sort(names.begin(), names.end());
  return names;
}

std::wstring Stem(int minute, DWORD process) {
  SYSTEMTIME utc{};
  utc.wYear = 2024;
  utc.wMonth = 12;
  utc.wDay = 31;
  utc.wHour = 23;
  utc.wMinute = static_cast<WORD>(minute);
  utc.wSecond = 5;
  return ReportStem(utc, process);
}

TEST(ReportFolder, StemsNameTheMomentAndTheProcessAndSortAsTimesDo) {
  EXPECT_EQ(Stem(7, 4321), L"BRKPortable-2024-12-31-230705-4321");
  EXPECT_LT(Stem(9, 99999), Stem(10, 1));
  EXPECT_EQ(ReportsFolder(L"C:\\Users\\Ann\\AppData\\Local"),
            L"C:\\Users\\Ann\\AppData\\Local\\Brightkeep Portable\\Crash Reports\\");
  EXPECT_EQ(ReportsFolder(L""), L"");
}

TEST(ReportFolder, KeepsTheNewestReportsAndNoStaleTemporaryFile) {
  TempFolder folder;
  const std::wstring path = folder.Path() + L"\\";
  for (int minute = 0; minute < 13; ++minute) {
    folder.WriteBytes(Stem(minute, 100) + L".dmp", "MDMP");
    folder.WriteBytes(Stem(minute, 100) + L".txt", "report");
  }
  // A crash whose handler died while writing, one whose dump is all that
  // was written, and the user's own files.
  folder.WriteBytes(Stem(20, 200) + L".dmp.tmp", "MD");
  folder.WriteBytes(Stem(21, 300) + L".dmp", "MDMP");
  folder.WriteBytes(L"notes.txt", "mine");
  folder.WriteBytes(L"BRKPortable.txt", "mine too");

  PruneReports(path, 10);
  std::vector<std::wstring> expected = {L"BRKPortable.txt", L"notes.txt", Stem(21, 300) + L".dmp"};
  for (int minute = 4; minute < 13; ++minute) {
    expected.push_back(Stem(minute, 100) + L".dmp");
    expected.push_back(Stem(minute, 100) + L".txt");
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(folder.Path()), expected);
}

TEST(ReportFolder, LeavesATemporaryFileThatIsStillBeingWritten) {
  TempFolder folder;
  const std::wstring writing = folder.WriteBytes(Stem(1, 5) + L".txt.tmp", "half");
  HANDLE open = CreateFileW(writing.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  PruneReports(folder.Path() + L"\\");
  CloseHandle(open);
  EXPECT_EQ(Names(folder.Path()), std::vector<std::wstring>{Stem(1, 5) + L".txt.tmp"});
}

TEST(ReportFolder, WritesTextAsUtf8WithAMarkAndOnlyUnderItsNameOnceComplete) {
  TempFolder folder;
  const std::wstring path = folder.File(L"r.txt");
  ASSERT_TRUE(WriteTextFile(path, L"Stra\u00DFe \u65E5\u672C\r\n"));
  EXPECT_EQ(ReadBytes(path),
            "\xEF\xBB\xBFStra\xC3\x9F"
            "e \xE6\x97\xA5\xE6\x9C\xAC\r\n");
  EXPECT_EQ(Names(folder.Path()), std::vector<std::wstring>{L"r.txt"});
  // A report that cannot be written leaves nothing behind.
  EXPECT_FALSE(WriteTextFile(folder.File(L"no such folder\\r.txt"), L"x"));
  EXPECT_EQ(Names(folder.Path()), std::vector<std::wstring>{L"r.txt"});
}

}  // namespace
}  // namespace crash
