#include "crash/CrashDialog.h"

#include <commctrl.h>

#include "ui/SystemLibrary.h"

namespace crash {

namespace {

constexpr int kShowReportButton = 100;
constexpr int kCloseButton = 101;
constexpr wchar_t kTitle[] = L"Brightkeep Portable";
constexpr UINT kDialogWidth = 280;

std::wstring Text(const THandlerServices& services, const TCrashMessage& message) {
  return services.message ? services.message(message.key, message.english)
                          : std::wstring(message.english);
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring Body(const TCrashDialogContent& content, const THandlerServices& services) {
  std::wstring body;
  if (content.leftFiles.empty()) {
    body = Text(services, kCrashNothingLeft);
  } else {
    body = Text(services, kCrashPartialLeft);
    for (const std::wstring& path : content.leftFiles) body += L"\n" + path;
  }
  body += L"\n\n";
  if (content.reportPath.empty()) {
    body += Text(services, kCrashNoReport);
  } else {
    body += Text(services, kCrashReportSaved) + L"\n" + FolderOf(content.reportPath);
  }
  return body;
}

void ShowReport(const std::wstring& reportPath, const THandlerServices& services) {
  if (!services.shellExecute) return;
  // Quoted: the folder's name has spaces.
  const std::wstring parameters = L"/select,\"" + reportPath + L"\"";
  services.shellExecute(nullptr, L"open", L"explorer", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace

void ShowCrashDialog(const TCrashDialogContent& content, const THandlerServices& services) {
  const std::wstring heading = Text(services, kCrashStopped);
  const std::wstring body = Body(content, services);
  const std::wstring showReport = Text(services, kCrashShowReport);
  const std::wstring close = Text(services, kCrashClose);
  const bool haveReport = !content.reportPath.empty();

  // Loaded here, not linked: the tool's own start never needs the dialog.
  const auto taskDialog =
      ui::SystemFunction<decltype(TaskDialogIndirect)>(L"comctl32.dll", "TaskDialogIndirect");
  if (taskDialog != nullptr) {
    TASKDIALOG_BUTTON buttons[2];
    UINT count = 0;
    if (haveReport) buttons[count++] = {kShowReportButton, showReport.c_str()};
    buttons[count++] = {kCloseButton, close.c_str()};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = kTitle;
    config.pszMainIcon = TD_ERROR_ICON;
    config.pszMainInstruction = heading.c_str();
    config.pszContent = body.c_str();
    config.cButtons = count;
    config.pButtons = buttons;
    config.nDefaultButton = buttons[0].nButtonID;
    // Wide enough (in dialog units) that the folder's usual path fits on a line.
    config.cxWidth = kDialogWidth;
    int pressed = 0;
    if (SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr))) {
      if (pressed == kShowReportButton) ShowReport(content.reportPath, services);
      return;
    }
  }
  // Without the common controls' dialog: the same words, and the report
  // shown when the user confirms.
  const std::wstring text = heading + L"\n\n" + body;
  const int pressed =
      MessageBoxW(nullptr, text.c_str(), kTitle, MB_ICONERROR | (haveReport ? MB_OKCANCEL : MB_OK));
  if (haveReport && pressed == IDOK) ShowReport(content.reportPath, services);
}

}  // namespace crash
