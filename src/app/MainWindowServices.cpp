#include "app/MainWindowServices.h"

#include <shellapi.h>

#include "app/FolderLocator.h"
#include "app/ProductSettings.h"
#include "ui/ModulePath.h"
#include "ui/SystemLibrary.h"

namespace app {

TMainWindowServices RealMainWindowServices() {
  TMainWindowServices s;
  s.newJob = NewZipFileJob;
  s.installLocation = [] { return ReadInstallLocation(); };
  s.desktopFolder = [] { return TAppFrame().GetFolderPath(fkDesktop); };
  s.roamingAppDataFolder = [] { return TAppFrame().AppData(); };
  s.languageFolder = [] { return ui::ExecutableFolder() + L"ToolBox_Language"; };
  s.shellExecute = [](HWND owner, const wchar_t* verb, const wchar_t* file,
                      const wchar_t* parameters, const wchar_t* folder, int show) {
    return ShellExecuteW(owner, verb, file, parameters, folder, show);
  };
  s.getSaveFileName = [](OPENFILENAMEW& dialog) {
    // Loaded when the dialog is first asked for: see SystemLibrary.h.
    const auto show =
        ui::SystemFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    return show != nullptr ? show(&dialog) : FALSE;
  };
  s.debugLine = [](const std::wstring& line) { OutputDebugStringW(line.c_str()); };
  return s;
}

}  // namespace app
