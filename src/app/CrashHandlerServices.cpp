#include "app/CrashHandlerServices.h"

#include <shellapi.h>

#include <memory>
#include <optional>

#include "app/FolderLocator.h"
#include "app/ProductSettings.h"
#include "i18n/Language.h"
#include "ui/ModulePath.h"

namespace app {

crash::THandlerServices RealCrashHandlerServices() {
  crash::THandlerServices s;
  s.localAppDataFolder = [] { return TAppFrame().GetFolderPath(fkLocalAppData); };
  // The handler runs beside every tool but needs the texts only after a
  // crash: the language files are read then, not at its start.
  auto language = std::make_shared<std::optional<i18n::TLanguage>>();
  s.message = [language](std::wstring_view key, std::wstring_view defaultText) {
    if (!*language) {
      language->emplace(L"BRKPortable", ui::ExecutableFolder() + L"ToolBox_Language");
      (*language)->LoadLanguage(ReadProductLanguage(ProductSettingsFile(TAppFrame().AppData())));
    }
    return (*language)->GetMessageText(key, defaultText);
  };
  s.shellExecute = [](HWND owner, const wchar_t* verb, const wchar_t* file,
                      const wchar_t* parameters, const wchar_t* folder, int show) {
    return ShellExecuteW(owner, verb, file, parameters, folder, show);
  };
  return s;
}

}  // namespace app
