// The folder that keeps the crash reports on the user's machine, where the
// user can find them and attach them to a message: one dump and one text
// report per crash, named after the moment (UTC) and the tool's process, so
// that names sort as times do. Each file is written under a temporary name
// and renamed once complete, so that the folder never shows half a report;
// the folder keeps the newest reports only.
#pragma once

#include <windows.h>

#include <string>

namespace crash {

inline constexpr int kReportsKept = 10;

// <localAppData>\Brightkeep Portable\Crash Reports\ ; empty without a base.
std::wstring ReportsFolder(const std::wstring& localAppData);

// "BRKPortable-2024-05-01-123456-4321": the stem of one crash's files.
std::wstring ReportStem(const SYSTEMTIME& utc, DWORD processId);

// The name a file has until it is complete.
std::wstring TemporaryName(const std::wstring& path);

// Puts a complete temporary file in its place; false when it could not.
bool PutInPlace(const std::wstring& path);

// Writes text as UTF-8 (with a byte-order mark, so that Notepad reads it as
// such) under the temporary name, then puts it in place.
bool WriteTextFile(const std::wstring& path, const std::wstring& text);

// Removes the reports beyond the newest `kept` (both files of each) and
// temporary files that nobody writes any more. Other files stay.
void PruneReports(const std::wstring& folder, int kept = kReportsKept);

}  // namespace crash
