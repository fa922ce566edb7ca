// How an entry name given as Windows text becomes the bytes of a zip header:
// "\" turns into "/", a folder gets its final "/", and the text is encoded as
// UTF-8. Also the test that decides whether an entry is stored as it is,
// because its name says its content is compressed already.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace archive {

// The header field that holds the name is 16 bits wide.
inline constexpr std::size_t kMaxEntryNameBytes = 0xFFFF;

// "\" replaced by "/", nothing else changed (a leading "/" or a drive letter
// stays).
std::wstring zip_separators(std::wstring_view name);

// The UTF-8 form of a UTF-16 text (on a 32-bit wchar_t platform each unit is
// a code point). None when the text holds a lone surrogate or a value beyond
// U+10FFFF, which have no UTF-8 form.
std::optional<std::string> utf8_from_wide(std::wstring_view text);

// Whether the stored name needs the language-encoding flag: any byte outside
// ASCII means UTF-8 that a reader would otherwise take for a DOS code page.
bool needs_utf8_flag(std::string_view utf8_name) noexcept;

// True when the name (already with "/" separators) ends in an extension of
// an already-compressed format, compared without regard to letter case.
bool zip_store_test(std::wstring_view name) noexcept;

}  // namespace archive
