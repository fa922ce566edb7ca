// Paths in the form that file system calls need. Both the zip writer (its
// sources and output) and the archive job (the walk, the temporary file)
// reach files deeper than the classic 260 characters, so both turn paths
// into the "\\?\" form here.
#pragma once

#include <string>

namespace archive {

// The form to hand to file system calls: absolute paths get the "\\?\"
// prefix (shares "\\?\UNC\"), which lifts the classic 260-character limit
// and keeps every name as it is, a trailing dot or space included. Relative
// paths stay as they are. Expects a normalised path (see FullPath).
std::wstring ToSystemPath(const std::wstring& path);

// The absolute, normalised form of path ("/" turned into "\", "." and ".."
// resolved); empty when the system cannot make one.
std::wstring FullPath(const std::wstring& path);

}  // namespace archive
