// What the tool reads of the installed product: where it is installed (its
// uninstall entry, which the product's 32-bit installer writes into the
// 32-bit view of the registry) and which language the user chose for it
// (its settings file). Both are read only; the tool never writes them.
#pragma once

#include <string>

namespace app {

// The uninstall entry under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brightkeep 8_is1";

// The value "InstallLocation" of that key in the 32-bit view, ending in
// "\", or empty when the key or the value is missing, empty or not text
// (a value of another type cannot name a folder, so it counts as missing).
std::wstring ReadInstallLocation(const wchar_t* key = kUninstallKey);

// The settings file below the user's roaming application-data folder.
std::wstring ProductSettingsFile(const std::wstring& roamingAppData);

// The product's language: "Language" of section "Main" in that file, or
// "English" when the file, the section or the key is missing.
std::wstring ReadProductLanguage(const std::wstring& settingsFile);

}  // namespace app
