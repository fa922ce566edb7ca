// The dialog the user sees after a crash: plain words in the user's
// language, where the report is, and a button that shows it in Explorer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "crash/CrashReporter.h"

namespace crash {

struct TCrashDialogContent {
  // The report's full path; empty when none could be written.
  std::wstring reportPath;
  // Half-written archives that could not be removed.
  std::vector<std::wstring> leftFiles;
};

// The message texts the dialog uses, by key, with their English defaults.
struct TCrashMessage {
  std::wstring_view key;
  std::wstring_view english;
};
inline constexpr TCrashMessage kCrashStopped{L"M_CrashStopped",
                                             L"Brightkeep Portable stopped unexpectedly."};
inline constexpr TCrashMessage kCrashNothingLeft{L"M_CrashNothingLeft",
                                                 L"Nothing half-written was left behind."};
inline constexpr TCrashMessage kCrashPartialLeft{
    L"M_CrashPartialLeft", L"A half-written archive could not be removed. You can delete it:"};
inline constexpr TCrashMessage kCrashReportSaved{
    L"M_CrashReportSaved",
    L"A report of what happened was saved in this folder. If you write to us about it, please "
    L"attach the report:"};
inline constexpr TCrashMessage kCrashNoReport{L"M_CrashNoReport", L"No report could be saved."};
inline constexpr TCrashMessage kCrashShowReport{L"M_CrashShowReport", L"Show the report"};
inline constexpr TCrashMessage kCrashClose{L"M_CrashClose", L"Close"};

// Shows the dialog and waits until the user closes it.
void ShowCrashDialog(const TCrashDialogContent& content, const THandlerServices& services);

}  // namespace crash
