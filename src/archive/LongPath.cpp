#include "archive/LongPath.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace archive {

namespace {
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";
}  // namespace

std::wstring ToSystemPath(const std::wstring& path) {
  if (path.starts_with(kExtendedPrefix) || path.starts_with(L"\\\\.\\")) return path;
  if (path.starts_with(L"\\\\")) return std::wstring(kExtendedUncPrefix) + path.substr(2);
  const bool onDrive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  return onDrive ? std::wstring(kExtendedPrefix) + path : path;
}

std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return {};
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

}  // namespace archive
