#include "i18n/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace i18n {
namespace {

TExtIniFile Parsed(const std::vector<std::wstring>& lines) {
  TExtIniFile ini;
  ini.ParseLines(lines);
  return ini;
}

const std::vector<std::wstring> kDocument = {
    L"orphan=before any section",
    L"[Main]",
    L"  \tName  =  a = b  \t",
    L"Empty=",
    L"#hash=not a comment",
    L"# hash line",
    L"; comment=dropped",
    L"  ;indented=comment too",
    L"Dup=first",
    L"dup=second",
    L"[  Spaced Section \t]",
    L"Key=spaced",
    L"[Twice]",
    L"Lost=earlier section",
    L"[TWICE]",
    L"Kept=later section",
    L"[unclosed",
    L"\x01\x1F  Ctl=codes \x1F",
};

struct ReadCase {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* expected;  // "<default>" when the read must fall back
};

class ReadValue_ : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadValue_, Reads) {
  const TExtIniFile ini = Parsed(kDocument);
  EXPECT_EQ(ini.ReadValue(GetParam().section, GetParam().key, L"<default>"), GetParam().expected)
      << GetParam().section << " / " << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadValue_,
    testing::Values(
        // Spaces around the name, the first "=" and the value go; a second
        // "=" and the spaces around it stay in the value.
        ReadCase{L"Main", L"Name", L"a = b"}, ReadCase{L"main", L"NAME", L"a = b"},
        // An empty value is found and differs from a missing key.
        ReadCase{L"Main", L"Empty", L""}, ReadCase{L"Main", L"Missing", L"<default>"},
        // "#" starts an ordinary line; ";" starts a comment.
        ReadCase{L"Main", L"#hash", L"not a comment"},
        ReadCase{L"Main", L"# hash line", L"<default>"},
        ReadCase{L"Main", L"; comment", L"<default>"},
        ReadCase{L"Main", L";indented", L"<default>"},
        // The later of two lines with one key wins, in any letter case.
        ReadCase{L"Main", L"DUP", L"second"},
        // Section names are trimmed inside the brackets.
        ReadCase{L"spaced SECTION", L"key", L"spaced"},
        ReadCase{L"  Spaced Section ", L"Key", L"<default>"},
        // A second section of one name hides the first.
        ReadCase{L"twice", L"Kept", L"later section"}, ReadCase{L"Twice", L"Lost", L"<default>"},
        // Control characters count as blanks; an unclosed "[" is a plain line.
        ReadCase{L"Twice", L"Ctl", L"codes"}, ReadCase{L"Twice", L"[unclosed", L"<default>"},
        ReadCase{L"Nowhere", L"orphan", L"<default>"}, ReadCase{L"", L"orphan", L"<default>"}));

TEST(TExtIniFile, ListsSectionsKeysAndLinesInFileOrder) {
  const TExtIniFile ini = Parsed(kDocument);
  TStringList names;
  ini.SectionNames(names);
  EXPECT_EQ(names.Lines(),
            (std::vector<std::wstring>{L"Main", L"Spaced Section", L"Twice", L"TWICE"}));

  TStringList lines;
  ini.SectionLines(L"MAIN", lines);
  EXPECT_EQ(lines.Lines(),
            (std::vector<std::wstring>{L"Name=a = b", L"Empty=", L"#hash=not a comment",
                                       L"# hash line", L"Dup=first", L"dup=second"}));
  TStringList keys;
  ini.SectionKeys(L"main", keys);
  EXPECT_EQ(keys.Lines(),
            (std::vector<std::wstring>{L"Name", L"Empty", L"#hash", L"", L"Dup", L"dup"}));

  ini.SectionLines(L"twice", lines);
  EXPECT_EQ(lines.Lines(),
            (std::vector<std::wstring>{L"Kept=later section", L"[unclosed", L"Ctl=codes"}));
  ini.SectionKeys(L"missing", keys);
  ini.SectionLines(L"missing", lines);
  EXPECT_EQ(keys.Count(), 0);
  EXPECT_EQ(lines.Count(), 0);
}

TEST(TExtIniFile, HasKeyAsTheKeyListSaysIt) {
  const TExtIniFile ini = Parsed(kDocument);
  EXPECT_TRUE(ini.HasKey(L"main", L"EMPTY"));
  EXPECT_TRUE(ini.HasKey(L"Main", L"dup"));
  EXPECT_FALSE(ini.HasKey(L"Main", L"Missing"));
  EXPECT_FALSE(ini.HasKey(L"Missing", L"Name"));
  // A line without "=" lists as an empty key.
  EXPECT_TRUE(ini.HasKey(L"Main", L""));
  EXPECT_FALSE(ini.HasKey(L"Spaced Section", L""));
}

TEST(TExtIniFile, ParseReplacesTheWholeContent) {
  TExtIniFile ini = Parsed(kDocument);
  ini.ParseLines(std::vector<std::wstring>{L"[Other]", L"k=v"});
  TStringList names;
  ini.SectionNames(names);
  EXPECT_EQ(names.Lines(), std::vector<std::wstring>{L"Other"});
  EXPECT_EQ(ini.ReadValue(L"Main", L"Name", L"gone"), L"gone");
}

TEST(TExtIniFile, WritesAndRemovalsChangeOnlyTheLookedUpEntries) {
  TExtIniFile ini = Parsed(kDocument);
  ini.WriteValue(L"main", L"DUP", L" third ");
  EXPECT_EQ(ini.ReadValue(L"Main", L"dup", L""), L" third ");
  TStringList lines;
  ini.SectionLines(L"Main", lines);
  EXPECT_EQ(lines[4], L"Dup=first");
  EXPECT_EQ(lines[5], L"DUP= third ") << "the later line is the one replaced, untrimmed";

  ini.WriteValue(L"New", L"k", L"v");
  TStringList names;
  ini.SectionNames(names);
  EXPECT_EQ(names[names.Count() - 1], L"New");
  EXPECT_EQ(ini.ReadValue(L"new", L"K", L""), L"v");

  // Removing the later of two lines brings the earlier one back to light.
  ini.RemoveKey(L"Main", L"dup");
  EXPECT_EQ(ini.ReadValue(L"Main", L"dup", L""), L"first");
  ini.RemoveKey(L"Main", L"nothing");
  ini.RemoveKey(L"Nowhere", L"dup");

  // The same holds for sections.
  ini.RemoveSection(L"TWICE");
  EXPECT_EQ(ini.ReadValue(L"Twice", L"Lost", L""), L"earlier section");
  ini.RemoveSection(L"Nowhere");
  ini.SectionNames(names);
  EXPECT_EQ(names.Lines(),
            (std::vector<std::wstring>{L"Main", L"Spaced Section", L"Twice", L"New"}));
  ini.Flush();
  EXPECT_EQ(ini.FileName(), L"");
}

// Every encoding that carries a mark gives the same document.
TEST(TExtIniFile, MarkedEncodingsGiveTheSameContent) {
  using namespace std::string_literals;
  const std::string utf8 = "\xEF\xBB\xBF[S]\r\nk=\xC3\xA4\xE6\x97\xA5\rl=2\n"s;
  const std::string utf16le =
      "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\xE5\x65\r\0l\0=\0"
      "2\0\n\0"s;
  std::string utf16be = "\xFE\xFF"s;
  for (size_t i = 2; i < utf16le.size(); i += 2) {
    utf16be += utf16le[i + 1];
    utf16be += utf16le[i];
  }
  for (const std::string& bytes : {utf8, utf16le, utf16be}) {
    TExtIniFile ini;
    ini.LoadBytes(bytes);
    EXPECT_EQ(ini.ReadValue(L"S", L"k", L""), L"\u00E4\u65E5");
    EXPECT_EQ(ini.ReadValue(L"S", L"l", L""), L"2");
  }
}

}  // namespace
}  // namespace i18n
