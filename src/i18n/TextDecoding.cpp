#include "i18n/TextDecoding.h"

#include <cstdint>

namespace i18n {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

std::string_view UpToNulByte(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit =
        static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    if (unit == L'\0') break;
    text.push_back(unit);
  }
  return text;
}

void AppendCodePoint(std::wstring& text, uint32_t codePoint) {
  if (codePoint < 0x10000) {
    text.push_back(static_cast<wchar_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

struct Utf8Lead {
  size_t length;  // 0: the byte cannot start a sequence
  uint32_t payloadMask;
  uint32_t minimum;  // smaller code points are overlong forms
};

// C0, C1 and F5 to FF never start a sequence; 80 to BF only continue one.
Utf8Lead ClassifyLead(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x1F, 0x80};
  if (lead >= 0xE0 && lead <= 0xEF) return {3, 0x0F, 0x800};
  if (lead >= 0xF0 && lead <= 0xF4) return {4, 0x07, 0x10000};
  return {0, 0, 0};
}

// Each malformed or truncated sequence gives one replacement character and
// decoding goes on at the next byte that can start a sequence.
std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      text.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    const Utf8Lead form = ClassifyLead(lead);
    uint32_t codePoint = lead & form.payloadMask;
    size_t taken = 1;
    while (taken < form.length && i + taken < bytes.size() &&
           (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) == 0x80) {
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
      ++taken;
    }
    const bool complete = form.length != 0 && taken == form.length;
    const bool valid = complete && codePoint >= form.minimum && codePoint <= 0x10FFFF &&
                       (codePoint < 0xD800 || codePoint > 0xDFFF);
    if (valid) {
      AppendCodePoint(text, codePoint);
    } else {
      text.push_back(kReplacement);
    }
    i += taken;
  }
  return text;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

std::wstring DecodeText(std::string_view bytes, AnsiDecodeFn decodeAnsi) {
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  // In UTF-8 and in every ANSI code page (whose trail bytes are never 0) a
  // zero byte is a NUL, so the text can be cut before it is decoded.
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8(UpToNulByte(bytes.substr(3)));
  return decodeAnsi(UpToNulByte(bytes));
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
  }
  return lines;
}

}  // namespace i18n
