// Path handling for the archive job: paths as the user and the archive see
// them ("\" separated, drive or share first) and the forms the file system
// calls need, so that folders and files deeper than the classic 260
// characters are reached as well as short ones.
#pragma once

#include <string>
#include <string_view>

namespace archive {

// The form to hand to file system calls: absolute paths get the "\\?\"
// prefix (shares "\\?\UNC\"), which lifts the classic 260-character limit
// and keeps every name as it is, a trailing dot or space included. Relative
// paths stay as they are. Expects a normalised path (see FullPath).
std::wstring ToSystemPath(const std::wstring& path);

// The absolute, normalised form of path ("/" turned into "\", "." and ".."
// resolved); empty when the system cannot make one.
std::wstring FullPath(const std::wstring& path);

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
