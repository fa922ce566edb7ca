#include "crash/ReportFolder.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <set>
#include <string_view>
#include <vector>

#include "ui/UniqueHandle.h"

namespace crash {

namespace {

constexpr std::wstring_view kStemStart = L"BRKPortable-";
constexpr std::wstring_view kTemporarySuffix = L".tmp";
constexpr std::wstring_view kReportSuffixes[] = {L".dmp", L".txt"};

bool EndsWith(std::wstring_view text, std::wstring_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The stem of a report file's name, or empty for a file that is none.
std::wstring StemOf(std::wstring_view name) {
  if (!name.starts_with(kStemStart)) return {};
  if (EndsWith(name, kTemporarySuffix)) name.remove_suffix(kTemporarySuffix.size());
  for (std::wstring_view suffix : kReportSuffixes) {
    if (EndsWith(name, suffix)) return std::wstring(name.substr(0, name.size() - suffix.size()));
  }
  return {};
}

}  // namespace

std::wstring ReportsFolder(const std::wstring& localAppData) {
  if (localAppData.empty()) return {};
  return localAppData + L"\\Brightkeep Portable\\Crash Reports\\";
}

std::wstring ReportStem(const SYSTEMTIME& utc, DWORD processId) {
  wchar_t stem[64];
  std::swprintf(stem, 64, L"BRKPortable-%04u-%02u-%02u-%02u%02u%02u-%lu", utc.wYear, utc.wMonth,
                utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, processId);
  return stem;
}

std::wstring TemporaryName(const std::wstring& path) {
  return path + std::wstring(kTemporarySuffix);
}

bool PutInPlace(const std::wstring& path) {
  return MoveFileExW(TemporaryName(path).c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WriteTextFile(const std::wstring& path, const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string utf8 = "\xEF\xBB\xBF";
  const std::size_t start = utf8.size();
  utf8.resize(start + static_cast<std::size_t>(std::max(bytes, 0)));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data() + start,
                      bytes, nullptr, nullptr);
  {
    ui::UniqueFileHandle file(CreateFileW(TemporaryName(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written != utf8.size()) {
      file.reset();
      DeleteFileW(TemporaryName(path).c_str());
      return false;
    }
  }
  return PutInPlace(path);
}

void PruneReports(const std::wstring& folder, int kept) {
  std::set<std::wstring> stems;
  std::vector<std::wstring> temporary;
  WIN32_FIND_DATAW entry;
  ui::UniqueFindHandle listing(FindFirstFileW((folder + L"*").c_str(), &entry));
  if (!listing) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring name = entry.cFileName;
    const std::wstring stem = StemOf(name);
    if (stem.empty()) continue;
    if (EndsWith(name, kTemporarySuffix)) {
      temporary.push_back(name);
    } else {
      stems.insert(stem);
    }
  } while (FindNextFileW(listing.get(), &entry));
  listing.reset();
  // A temporary file that a handler still writes is open without sharing:
  // deleting it fails, and it stays.
  for (const std::wstring& name : temporary) DeleteFileW((folder + name).c_str());
  const int excess = static_cast<int>(stems.size()) - kept;
  auto stem = stems.begin();
  for (int i = 0; i < excess; ++i, ++stem) {
    for (std::wstring_view suffix : kReportSuffixes) {
      DeleteFileW((folder + *stem + std::wstring(suffix)).c_str());
    }
  }
}

}  // namespace crash
