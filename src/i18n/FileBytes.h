// Reads a whole file into memory. The INI document reads a file in one go
// and parses it afterwards, so that a file that cannot be read leaves the
// loaded content alone.
#pragma once

#include <string>
#include <system_error>

namespace i18n {

// Fills bytes with the file's content and returns no error, or returns the
// platform's error and leaves bytes as they were.
std::error_code ReadFileBytes(const std::wstring& path, std::string& bytes);

}  // namespace i18n
