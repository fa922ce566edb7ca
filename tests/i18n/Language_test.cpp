#include "i18n/Language.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace i18n {
namespace {

using testing_support::TempFolder;

constexpr wchar_t kWindow[] = L"BRKPortable_frmBRKPortable";

// A language file in the tool's format, saved as the tool's files are.
std::wstring LanguageText(std::wstring_view displayName, std::wstring_view caption,
                          std::wstring_view messages) {
  std::wstring text = L"[Main]\r\n";
  if (!displayName.empty()) text += L"DisplayName=" + std::wstring(displayName) + L"\r\n";
  text += L"[BRKPortable_frmBRKPortable]\r\n";
  if (!caption.empty()) text += L"imgBtnGen.Caption=" + std::wstring(caption) + L"\r\n";
  text += L"[BRKPortable_M]\r\n" + std::wstring(messages);
  return text;
}

void WriteEnglish(const TempFolder& folder) {
  folder.WriteUtf16(L"English.lng",
                    LanguageText(L"English", L"Generate", L"M_stop=Stop\r\nM_Gen=Generate\r\n"));
}

void WriteGerman(const TempFolder& folder) {
  // No M_Gen: a missing key must give the caller's default, not English.
  folder.WriteUtf16(L"German.lng", LanguageText(L"Deutsch", L"",
                                                L"M_stop=Halt\r\nm_STOP=Stopp\r\n"
                                                L"M_Empty=\r\n"));
}

TEST(TLanguage, TheUsersLanguageIsCurrentAndMissingKeysKeepTheDefault) {
  TempFolder folder;
  WriteEnglish(folder);
  WriteGerman(folder);
  TLanguage language(L"BRKPortable", folder.Path() + L"\\");
  EXPECT_EQ(language.Folder(), folder.Path());
  ASSERT_EQ(language.LanguageNames().Count(), 2);

  EXPECT_TRUE(language.LoadLanguage(L"german"));
  EXPECT_EQ(language.LanguageNames()[language.LanguageIndex()], L"German");
  // The later of two lines wins, whatever the letter case of the key.
  EXPECT_EQ(language.GetMessageText(L"M_stop", L"Stop"), L"Stopp");
  EXPECT_EQ(language.GetMessageText(L"M_Gen", L"layout text"), L"layout text");
  EXPECT_EQ(language.ReadLanguageValue(kWindow, L"imgBtnGen.Caption", L"layout text"),
            L"layout text");
  // An empty value empties the text.
  EXPECT_EQ(language.GetMessageText(L"M_Empty", L"default"), L"");
  EXPECT_EQ(language.GetMessageValue(L"M_STOP"), L"Stopp");
  EXPECT_EQ(language.GetMessageValue(L"M_Gen"), L"");
}

TEST(TLanguage, AnUnknownLanguageFallsBackToEnglish) {
  TempFolder folder;
  WriteEnglish(folder);
  WriteGerman(folder);
  TLanguage language(L"BRKPortable", folder.Path());
  EXPECT_TRUE(language.LoadLanguage(L"French"));
  EXPECT_EQ(language.LanguageNames()[language.LanguageIndex()], L"English");
  EXPECT_EQ(language.GetMessageText(L"M_stop", L"?"), L"Stop");
  EXPECT_EQ(language.ReadLanguageValue(kWindow, L"IMGBTNGEN.CAPTION", L"?"), L"Generate");
}

TEST(TLanguage, WithoutEnglishTheLastListedLanguageStays) {
  TempFolder folder;
  WriteGerman(folder);
  TLanguage language(L"BRKPortable", folder.Path());
  EXPECT_FALSE(language.LoadLanguage(L"French"));
  EXPECT_EQ(language.LanguageIndex(), 0);
  EXPECT_EQ(language.GetMessageText(L"M_stop", L"Stop"), L"Stopp");
}

TEST(TLanguage, TheScanListsBaseAndDisplayNamesAndEndsOnTheLastFile) {
  TempFolder folder;
  WriteEnglish(folder);
  folder.WriteUtf16(L"Deutsch.LNG", LanguageText(L"", L"", L"M_stop=Stopp\r\n"));
  folder.WriteUtf16(L"Zulu.lng", LanguageText(L"isiZulu", L"", L"M_stop=Misa\r\n"));
  folder.WriteUtf16(L"notes.txt", L"[Main]\r\nDisplayName=not a language");
  CreateDirectoryW(folder.File(L"Folder.lng").c_str(), nullptr);
  TLanguage language(L"BRKPortable", folder.Path());

  // The listing is the file system's order; look names up instead.
  const TStringList& names = language.LanguageNames();
  ASSERT_EQ(names.Count(), 3);
  ASSERT_GE(names.IndexOf(L"Deutsch"), 0);
  EXPECT_EQ(names[names.IndexOf(L"deutsch")], L"Deutsch");
  EXPECT_EQ(language.DisplayNames()[names.IndexOf(L"Deutsch")], L"Deutsch");
  EXPECT_EQ(language.DisplayNames()[names.IndexOf(L"Zulu")], L"isiZulu");
  EXPECT_EQ(language.DisplayNames()[names.IndexOf(L"English")], L"English");

  ASSERT_EQ(language.LanguageIndex(), names.Count() - 1);
  const std::wstring last = names[language.LanguageIndex()];
  EXPECT_EQ(language.GetMessageText(L"M_stop", L""), last == L"Zulu"      ? L"Misa"
                                                     : last == L"Deutsch" ? L"Stopp"
                                                                          : L"Stop");
}

TEST(TLanguage, WithoutAFolderEveryTextStaysAsItWas) {
  TempFolder folder;
  TLanguage language(L"BRKPortable", folder.File(L"missing"));
  EXPECT_EQ(language.LanguageNames().Count(), 0);
  EXPECT_EQ(language.LanguageIndex(), -1);
  EXPECT_FALSE(language.LoadLanguage(L"English"));
  EXPECT_EQ(language.GetMessageText(L"M_stop", L"Stop"), L"Stop");
  EXPECT_EQ(language.ReadLanguageValue(kWindow, L"imgBtnGen.Caption", L"Generate"), L"Generate");
}

TEST(TLanguage, TheBasicConstructionLooksBesideTheExecutableAndReadsNothing) {
  TLanguage language(L"BRKPortable");
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring expected(exe);
  expected = expected.substr(0, expected.find_last_of(L'\\') + 1) + L"Language";
  EXPECT_EQ(language.Folder(), expected);
  EXPECT_EQ(language.Section(), L"BRKPortable");
  EXPECT_EQ(language.LanguageIndex(), -1);
  EXPECT_EQ(language.LanguageNames().Count(), 0);
}

// A listed file that exists but cannot be read keeps the previous language
// current as a whole: its index, its texts and its messages.
TEST(TLanguage, AnUnreadableLanguageKeepsThePreviousOne) {
  TempFolder folder;
  WriteEnglish(folder);
  WriteGerman(folder);
  TLanguage language(L"BRKPortable", folder.Path());
  ASSERT_TRUE(language.LoadLanguage(L"English"));
  const int english = language.LanguageIndex();

  const std::wstring german = folder.File(L"German.lng");
  HANDLE holder = CreateFileW(german.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(language.LoadLanguage(L"German"));
  EXPECT_EQ(language.LanguageIndex(), english);
  EXPECT_EQ(language.GetMessageText(L"M_stop", L"?"), L"Stop");
  EXPECT_EQ(language.ReadLanguageValue(kWindow, L"imgBtnGen.Caption", L"?"), L"Generate");

  // The same during a scan: the unreadable file is listed under its base
  // name but does not become current.
  TLanguage scanned(L"BRKPortable", folder.Path());
  CloseHandle(holder);
  const TStringList& names = scanned.LanguageNames();
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(scanned.DisplayNames()[names.IndexOf(L"German")], L"German");
  EXPECT_EQ(names[scanned.LanguageIndex()], L"English");
  EXPECT_EQ(scanned.GetMessageText(L"M_stop", L"?"), L"Stop");
}

}  // namespace
}  // namespace i18n
