#include "archive/ZipNames.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace archive {
namespace {

// Formats whose data deflate cannot shrink further: compress (.Z), zip, zoo,
// ARC, LHA, ARJ, gzip and gzipped tar. Deflating them would only cost time.
constexpr std::array<std::wstring_view, 8> kStoredExtensions = {L".Z",   L".zip", L".zoo", L".arc",
                                                                L".lzh", L".arj", L".gz",  L".tgz"};

bool equal_ignoring_case(std::wstring_view a, std::wstring_view b) noexcept {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towupper(static_cast<std::wint_t>(x)) ==
                  std::towupper(static_cast<std::wint_t>(y));
         });
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

bool is_high_surrogate(char32_t u) noexcept {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low_surrogate(char32_t u) noexcept {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::wstring zip_separators(std::wstring_view name) {
  std::wstring out(name);
  std::replace(out.begin(), out.end(), L'\\', L'/');
  return out;
}

std::optional<std::string> utf8_from_wide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t u = static_cast<char32_t>(text[i]);
    if (is_high_surrogate(u) && i + 1 < text.size() &&
        is_low_surrogate(static_cast<char32_t>(text[i + 1]))) {
      char32_t low = static_cast<char32_t>(text[++i]);
      u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
    } else if (is_high_surrogate(u) || is_low_surrogate(u) || u > 0x10FFFF) {
      return std::nullopt;
    }
    append_utf8(out, u);
  }
  return out;
}

bool needs_utf8_flag(std::string_view utf8_name) noexcept {
  return std::any_of(utf8_name.begin(), utf8_name.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool zip_store_test(std::wstring_view name) noexcept {
  std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos) return false;
  std::wstring_view ext = name.substr(dot);
  return std::any_of(kStoredExtensions.begin(), kStoredExtensions.end(),
                     [ext](std::wstring_view stored) { return equal_ignoring_case(ext, stored); });
}

}  // namespace archive
