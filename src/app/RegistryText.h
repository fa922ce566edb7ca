// Reading one text value from the registry, the one way the tool reads it:
// the product's uninstall entry and the shell's folder list are both read
// through here. Values of other types are refused, since a number or binary
// data cannot name a folder, and a value stored without its closing NUL
// still reads as whole text.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace app {

// The value `name` of `root`\`key`, opened for reading values only in the
// registry view `view` (0 for the program's own, or KEY_WOW64_32KEY):
// nullopt when the key does not open, an empty text when the value is
// missing or holds no text.
std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& key,
                                             const std::wstring& name, REGSAM view = 0);

}  // namespace app
