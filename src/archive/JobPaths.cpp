#include "archive/JobPaths.h"

#include <windows.h>

#include <vector>

namespace archive {

namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

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

std::wstring WithTrailingSeparator(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  path.push_back(L'\\');
  return path;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"\\/");
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceFolders(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  if (path.empty()) return false;
  if (FolderExists(path)) return true;
  const std::wstring parent = FolderOf(path);
  // A drive root or share that does not exist cannot be made.
  if (parent.empty() || parent.size() >= path.size()) return false;
  if (!ForceFolders(parent)) return false;
  return CreateDirectoryW(ToSystemPath(path).c_str(), nullptr) ||
         GetLastError() == ERROR_ALREADY_EXISTS;
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
  return EqualIgnoringCase(a, b);
}

bool StartsWithPath(std::wstring_view path, std::wstring_view prefix) {
  return path.size() >= prefix.size() && EqualIgnoringCase(path.substr(0, prefix.size()), prefix);
}

}  // namespace archive
