#include "archive/JobPaths.h"

#include <windows.h>

namespace archive {

namespace {

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

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
