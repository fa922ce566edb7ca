// Random input for the INI document: whatever a language file holds, loading
// it never fails, and the document keeps answering like a key-value store.
#include "i18n/IniFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace i18n {
namespace {

// Fragments that touch every rule of the parser.
const std::vector<std::wstring> kSoup = {
    L"[",   L"]",   L"=",       L";",   L"#",      L" ",      L"\t",     L"\x01",
    L"a",   L"B",   L"key",     L"Key", L"\u00E9", L"\u00C9", L"\u65E5", L"\xD800",
    L"[S]", L"[s]", L" [ x ] ", L"\r",  L"\n",     L"\r\n"};

std::wstring RandomText(std::mt19937& random, size_t maxPieces) {
  std::uniform_int_distribution<size_t> count(0, maxPieces);
  std::uniform_int_distribution<size_t> piece(0, kSoup.size() - 1);
  std::wstring text;
  for (size_t n = count(random); n > 0; --n) text += kSoup[piece(random)];
  return text;
}

std::string RandomBytes(std::mt19937& random) {
  static const std::vector<std::string> kStarts = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  std::string bytes = kStarts[random() % kStarts.size()];
  std::uniform_int_distribution<int> length(0, 600);
  for (int n = length(random); n > 0; --n) {
    // Mostly bytes that matter to the parser and the decoders, some noise.
    static const char kLikely[] = "[]=; \t\r\nab\x80\xC3\xA9\xFF\xFE";
    bytes += (random() % 4 == 0) ? static_cast<char>(random())
                                 : kLikely[random() % (sizeof kLikely - 1)];
  }
  return bytes;
}

// A key a write can use: no "=" (a line's name ends at the first "=").
std::wstring RandomKey(std::mt19937& random) {
  std::wstring key = RandomText(random, 4);
  std::erase(key, L'=');
  return key;
}

void ExpectWritesReadBack(TExtIniFile& ini, std::mt19937& random) {
  const std::wstring section = RandomText(random, 3);
  const std::wstring key = RandomKey(random);
  const std::wstring value = RandomText(random, 5);
  ini.WriteValue(section, key, value);
  EXPECT_EQ(ini.ReadValue(section, key, L"\uFFFF<default>"), value);
  EXPECT_TRUE(ini.HasKey(section, key));
  TStringList names;
  ini.SectionNames(names);
  EXPECT_GE(names.Count(), 1);
}

TEST(TExtIniFileProperty, RandomBytesLoadAndStayWritable) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 400; ++round) {
    TExtIniFile ini;
    ini.LoadBytes(RandomBytes(random));
    ExpectWritesReadBack(ini, random);
  }
}

TEST(TExtIniFileProperty, RandomLinesParseAndStayWritable) {
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    std::vector<std::wstring> lines;
    for (int n = static_cast<int>(random() % 40); n > 0; --n)
      lines.push_back(RandomText(random, 8));
    TExtIniFile ini;
    ini.ParseLines(lines);

    // Every section that a look-up finds lists keys that HasKey confirms.
    TStringList names;
    ini.SectionNames(names);
    for (const std::wstring& name : names.Lines()) {
      TStringList keys;
      ini.SectionKeys(name, keys);
      for (const std::wstring& key : keys.Lines()) EXPECT_TRUE(ini.HasKey(name, key));
    }
    ExpectWritesReadBack(ini, random);
    ExpectWritesReadBack(ini, random);
  }
}

}  // namespace
}  // namespace i18n
