#include "i18n/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>

namespace i18n {
namespace {

// Marks the bytes that reached the code-page decoder, so a case can tell
// which path the bytes took.
std::wstring TaggedAnsi(std::string_view bytes) {
  std::wstring text = L"ansi:";
  for (char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return text;
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::wstring text;
};

class DecodeText_ : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeText_, Decodes) {
  EXPECT_EQ(DecodeText(GetParam().bytes, TaggedAnsi), GetParam().text) << GetParam().what;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeText_,
    testing::Values(DecodeCase{"empty", ""s, L"ansi:"},
                    DecodeCase{"no mark: code page", "a\xE9"s, L"ansi:a\u00E9"},
                    DecodeCase{"UTF-16 LE",
                               "\xFF\xFE"
                               "a\0\xE9\0"s,
                               L"a\u00E9"},
                    DecodeCase{"UTF-16 BE", "\xFE\xFF\0a\0\xE9"s, L"a\u00E9"},
                    DecodeCase{"UTF-8",
                               "\xEF\xBB\xBF"
                               "a\xC3\xA9\xE2\x82\xAC"s,
                               L"a\u00E9\u20AC"},
                    DecodeCase{"UTF-8 beyond the BMP", "\xEF\xBB\xBF\xF0\x9F\x98\x80"s,
                               std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
                    DecodeCase{"a mark and nothing else", "\xFF\xFE"s, L""},
                    DecodeCase{"UTF-8 mark only", "\xEF\xBB\xBF"s, L""},
                    DecodeCase{"UTF-16 of odd length",
                               "\xFF\xFE"
                               "a\0b"s,
                               L"a"},
                    DecodeCase{"NUL ends UTF-16",
                               "\xFF\xFE"
                               "a\0\0\0b\0"s,
                               L"a"},
                    DecodeCase{"NUL ends UTF-8",
                               "\xEF\xBB\xBF"
                               "a\0b"s,
                               L"a"},
                    DecodeCase{"NUL ends code page text", "a\0b"s, L"ansi:a"},
                    DecodeCase{"malformed UTF-8",
                               "\xEF\xBB\xBF"
                               "a\xC3(\xFF\xE2\x82"s,
                               L"a\uFFFD(\uFFFD\uFFFD"},
                    DecodeCase{"overlong and surrogate UTF-8", "\xEF\xBB\xBF\xC0\xAF\xED\xA0\x80"s,
                               L"\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"FF FE wins over a UTF-16 LE text starting with FE",
                               "\xFF\xFE\xFE\xFF"s, L"\uFFFE"}));

struct SplitCase {
  const wchar_t* text;
  std::vector<std::wstring> lines;
};

class SplitLines_ : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines_, Splits) {
  EXPECT_EQ(SplitLines(GetParam().text), GetParam().lines) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(LineEnds, SplitLines_,
                         testing::Values(SplitCase{L"", {}}, SplitCase{L"a", {L"a"}},
                                         SplitCase{L"a\r\nb", {L"a", L"b"}},
                                         SplitCase{L"a\rb\nc", {L"a", L"b", L"c"}},
                                         SplitCase{L"a\n\rb", {L"a", L"", L"b"}},
                                         SplitCase{L"a\r\r\nb", {L"a", L"", L"b"}},
                                         SplitCase{L"a\r\n", {L"a"}},
                                         SplitCase{L"\n\n", {L"", L""}}));

}  // namespace
}  // namespace i18n
