#include "app/ProductSettings.h"

#include <windows.h>

#include <vector>

#include "app/RegistryText.h"

namespace app {

std::wstring ReadInstallLocation(const wchar_t* key) {
  std::wstring location =
      ReadRegistryText(HKEY_LOCAL_MACHINE, key, L"InstallLocation", KEY_WOW64_32KEY)
          .value_or(std::wstring());
  if (!location.empty() && location.back() != L'\\') location += L'\\';
  return location;
}

std::wstring ProductSettingsFile(const std::wstring& roamingAppData) {
  return roamingAppData + L"\\Halvane\\Brightkeep V8\\Main.ini";
}

std::wstring ReadProductLanguage(const std::wstring& settingsFile) {
  // The size the product itself reads its settings with.
  std::vector<wchar_t> value(2048, L'\0');
  GetPrivateProfileStringW(L"Main", L"Language", L"English", value.data(),
                           static_cast<DWORD>(value.size()), settingsFile.c_str());
  return value.data();
}

}  // namespace app
