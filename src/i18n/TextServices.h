// The two text operations of the localisation code that depend on the
// system: upper-casing for case-insensitive names (it follows the user's
// locale) and reading bytes in the system's ANSI code page. They are passed
// in as plain functions so that the string lists and the INI document stay
// free of OS calls and can be tested anywhere with stand-ins.
#pragma once

#include <string>
#include <string_view>

namespace i18n {

// Upper-cases text for comparison; must keep the length (one unit per unit).
using UpperCaseFn = std::wstring (*)(std::wstring_view text);

// Turns bytes in the system's ANSI code page into text. May throw
// std::length_error for input the platform cannot convert in one piece.
using AnsiDecodeFn = std::wstring (*)(std::string_view bytes);

struct TextServices {
  UpperCaseFn upperCase;
  AnsiDecodeFn decodeAnsi;
};

// The running system's own upper-casing and ANSI decoding. Off Windows, a
// stand-in: towupper per unit and Latin-1.
TextServices SystemTextServices();

}  // namespace i18n
