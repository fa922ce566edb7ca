#include "app/ProductSettings.h"

#include <windows.h>

#include <vector>

#include "ui/UniqueHandle.h"

namespace app {

std::wstring ReadInstallLocation(const wchar_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, &opened) !=
      ERROR_SUCCESS) {
    return {};
  }
  ui::UniqueRegKey owner(opened);
  // Plain and expandable strings are text; the latter is taken as written,
  // as the installer writes plain paths.
  const DWORD textTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  DWORD bytes = 0;
  if (RegGetValueW(opened, nullptr, L"InstallLocation", textTypes, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(opened, nullptr, L"InstallLocation", textTypes, nullptr, buffer.data(),
                   &bytes) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring location(buffer.data());
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
