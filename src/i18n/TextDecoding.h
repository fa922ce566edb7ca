// Turns the bytes of a text file into lines. The encoding is told by a
// byte-order mark (UTF-16 little- or big-endian, UTF-8); a file without one
// is in the system's ANSI code page. A NUL ends the text, and lines end at
// CR LF, a lone CR or a lone LF, so files from any editor read alike.
#pragma once

#include "i18n/TextServices.h"

#include <string>
#include <string_view>
#include <vector>

namespace i18n {

// The text of a file's bytes, without its byte-order mark and cut at the
// first NUL. Malformed UTF-8 gives U+FFFD; a dangling odd byte of UTF-16 is
// dropped. Text beyond the Basic Multilingual Plane comes out as surrogate
// pairs, so the result is UTF-16 on every platform.
std::wstring DecodeText(std::string_view bytes, AnsiDecodeFn decodeAnsi);

std::vector<std::wstring> SplitLines(std::wstring_view text);

}  // namespace i18n
