#include "i18n/Language.h"

#include <windows.h>

#include "ui/ModulePath.h"
#include "ui/UniqueHandle.h"

namespace i18n {
namespace {

constexpr std::wstring_view kFallbackLanguage = L"English";
constexpr std::wstring_view kExtension = L".lng";

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The pattern "*.lng" also matches names whose short 8.3 alias ends in
// ".LNG" (such as "x.lngx"); only names that really end in ".lng" are
// language files.
bool HasLanguageExtension(std::wstring_view name) {
  if (name.size() < kExtension.size()) return false;
  const std::wstring_view extension = name.substr(name.size() - kExtension.size());
  return CompareStringOrdinal(extension.data(), static_cast<int>(extension.size()),
                              kExtension.data(), static_cast<int>(kExtension.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace

TLanguage::TLanguage(std::wstring section)
    : FSection(std::move(section)), FFolder(ui::ExecutableFolder() + L"Language") {}

TLanguage::TLanguage(std::wstring section, const std::wstring& folder)
    : TLanguage(std::move(section)) {
  ScanLanguages(folder);
}

void TLanguage::ScanLanguages(const std::wstring& folder) {
  FFolder = folder;
  if (!FFolder.empty() && FFolder.back() == L'\\') FFolder.pop_back();

  WIN32_FIND_DATAW entry{};
  const std::wstring pattern = FFolder + L"\\*" + std::wstring(kExtension);
  ui::UniqueFindHandle listing(FindFirstFileW(pattern.c_str(), &entry));
  if (!listing) return;
  do {
    const std::wstring_view name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!HasLanguageExtension(name)) continue;
    const std::wstring baseName(name.substr(0, name.size() - kExtension.size()));
    const int previous = FLanguageIndex;
    FLanguageIndex = FLanguageNames.Add(baseName);
    // A file that cannot be read stays listed under its base name, but the
    // language read before it stays current.
    const bool loaded = LoadLanguage(baseName);
    if (!loaded) FLanguageIndex = previous;
    FDisplayNames.Add(loaded ? FIniFile.ReadValue(L"Main", L"DisplayName", baseName) : baseName);
  } while (FindNextFileW(listing.get(), &entry));
}

std::wstring TLanguage::LanguageFile(std::wstring_view name) const {
  return FFolder + L"\\" + std::wstring(name) + std::wstring(kExtension);
}

bool TLanguage::LoadLanguage(std::wstring_view name) {
  int index = FLanguageNames.IndexOf(name);
  std::wstring file = LanguageFile(name);
  if (index < 0 || !IsFile(file)) {
    index = FLanguageNames.IndexOf(kFallbackLanguage);
    file = LanguageFile(kFallbackLanguage);
    if (index < 0 || !IsFile(file)) return false;
  }
  if (FIniFile.LoadFile(file)) return false;
  FLanguageIndex = index;
  FIniFile.SectionLines(FSection + L"_M", FMessages);
  return true;
}

std::wstring TLanguage::GetMessageText(std::wstring_view key, std::wstring_view defaultText) const {
  std::optional<std::wstring> value = FMessages.Value(key);
  return value ? std::move(*value) : std::wstring(defaultText);
}

std::wstring TLanguage::GetMessageValue(std::wstring_view key) const {
  return GetMessageText(key, {});
}

std::wstring TLanguage::ReadLanguageValue(std::wstring_view section, std::wstring_view key,
                                          std::wstring_view defaultValue) const {
  return FIniFile.ReadValue(section, key, defaultValue);
}

}  // namespace i18n
