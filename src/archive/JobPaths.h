// Path handling for the archive job: paths as the user and the archive see
// them ("\" separated, drive or share first) and the forms the file system
// calls need, so that folders and files deeper than the classic 260
// characters are reached as well as short ones.
#pragma once

#include <string>
#include <string_view>

#include "archive/LongPath.h"

namespace archive {

// path with exactly one "\" at its end.
std::wstring WithTrailingSeparator(std::wstring path);

// The folder part of a file path, with its trailing "\"; empty without one.
std::wstring FolderOf(const std::wstring& path);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Creates the folder and every missing parent. True when it exists after.
bool ForceFolders(const std::wstring& folder);

// Paths compare without regard to letter case, as the file system does.
bool SamePath(std::wstring_view a, std::wstring_view b);
bool StartsWithPath(std::wstring_view path, std::wstring_view prefix);

}  // namespace archive
