// The language files the build puts beside the tool: English carries every
// text of the main window and every message exactly as the tool shows them
// without a file, and every translation carries the same keys.
#include "i18n/Language.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "TempFolder.h"

#include <map>

namespace i18n {
namespace {

constexpr wchar_t kWindow[] = L"BRKPortable_frmBRKPortable";
constexpr wchar_t kMessages[] = L"BRKPortable_M";

std::wstring ShippedFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"ToolBox_Language";
}

// The file format trims values, so texts that end in a space are stored
// without it.
const std::map<std::wstring, std::wstring> kEnglishWindow = {
    {L"frmBRKPortable.Caption", L"Brightkeep Portable"},
    {L"btnBg.Caption", L""},
    {L"imgBtnGen.Caption", L"Generate"},
    {L"lbl_info.Caption",
     L"By clicking the Generate button, a portable version for Brightkeep will be created for "
     L"you. It will be saved to your Desktop by default. Or"},
    {L"lbl_path.Caption", L"C:\\Windows\\BRK_Portable.zip"},
    {L"btnSelectPath.Caption", L"click here to change the default path."},
    {L"imgBtnClose.Caption", L""},
    {L"lbl_Caption.Caption", L"Brightkeep Portable"},
    {L"btnCancel.Caption", L"Cancel"},
};

const std::map<std::wstring, std::wstring> kEnglishMessages = {
    {L"M_Gen", L"Generate"},
    {L"M_stop", L"Stop"},
    {L"M_OpenLocation", L"Open file location"},
    {L"M_GenerateSuccess",
     L"Generate the portable version successfully. Click Open file location to get it. "
     L"Uncompress the zipped file and then run \"BRK.exe\"."},
    {L"M_TryAgain", L"Try again"},
    {L"M_GenerateFailure",
     L"Generate the portable version failure, Click the follow button to try again."},
    {L"M_Close", L"Close"},
    {L"M_ReasonNoInstall", L"The Brightkeep install folder was not found."},
    {L"M_ReasonEmptyInstall", L"The install folder holds no files: %s"},
    {L"M_ReasonFolderUnreadable", L"A folder could not be read: %s"},
    {L"M_ReasonFileUnreadable", L"A file could not be read: %s"},
    {L"M_ReasonFileInUse", L"A file is in use by another program: %s"},
    {L"M_ReasonDiskFull", L"The disk is full: %s"},
    {L"M_ReasonTargetGone", L"The target drive is not available: %s"},
    {L"M_ReasonTargetUnwritable", L"The target folder cannot be written: %s"},
    {L"M_ReasonInternal", L"An internal error occurred (code %s)."},
};

const std::map<std::wstring, std::wstring> kDisplayNames = {
    {L"English", L"English"},
    {L"German", L"Deutsch"},
    {L"French", L"Fran\u00E7ais"},
    {L"Spanish", L"Espa\u00F1ol"},
    {L"Japanese", L"\u65E5\u672C\u8A9E"},
    {L"ChineseSimplified", L"\u7B80\u4F53\u4E2D\u6587"},
};

TEST(ShippedLanguageFiles, AreUtf16WithAMark) {
  for (const auto& [name, display] : kDisplayNames) {
    const std::string bytes = testing_support::ReadBytes(ShippedFolder() + L"\\" + name + L".lng");
    ASSERT_GE(bytes.size(), 2u) << name.c_str();
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << name.c_str();
    EXPECT_EQ(bytes.size() % 2, 0u) << name.c_str();
  }
}

TEST(ShippedLanguageFiles, EnglishHoldsTheToolsOwnTexts) {
  TExtIniFile english;
  ASSERT_FALSE(english.LoadFile(ShippedFolder() + L"\\English.lng"));
  for (const auto& [key, text] : kEnglishWindow) {
    EXPECT_TRUE(english.HasKey(kWindow, key)) << key.c_str();
    EXPECT_EQ(english.ReadValue(kWindow, key, L"<missing>"), text) << key.c_str();
  }
  for (const auto& [key, text] : kEnglishMessages) {
    EXPECT_EQ(english.ReadValue(kMessages, key, L"<missing>"), text) << key.c_str();
  }
}

TEST(ShippedLanguageFiles, EveryLanguageIsListedWithItsDisplayNameAndEveryKey) {
  TLanguage catalogue(L"BRKPortable", ShippedFolder());
  ASSERT_EQ(catalogue.LanguageNames().Count(), static_cast<int>(kDisplayNames.size()));
  for (const auto& [name, display] : kDisplayNames) {
    const int index = catalogue.LanguageNames().IndexOf(name);
    ASSERT_GE(index, 0) << name.c_str();
    EXPECT_EQ(catalogue.DisplayNames()[index], display);

    ASSERT_TRUE(catalogue.LoadLanguage(name));
    EXPECT_EQ(catalogue.LanguageIndex(), index);
    for (const auto& [key, english] : kEnglishWindow) {
      const std::wstring text = catalogue.ReadLanguageValue(kWindow, key, L"<missing>");
      EXPECT_NE(text, L"<missing>") << name.c_str() << " " << key.c_str();
      EXPECT_EQ(text.empty(), english.empty()) << name.c_str() << " " << key.c_str();
    }
    for (const auto& [key, english] : kEnglishMessages) {
      const std::wstring text = catalogue.GetMessageText(key, L"<missing>");
      EXPECT_FALSE(text.empty() || text == L"<missing>") << name.c_str() << " " << key.c_str();
      EXPECT_TRUE(name == L"English" || text != english) << name.c_str() << " " << key.c_str();
      // Where the English text names a file or folder, so does each one.
      EXPECT_EQ(text.find(L"%s") != std::wstring::npos, english.find(L"%s") != std::wstring::npos)
          << name.c_str() << " " << key.c_str();
    }
  }
}

}  // namespace
}  // namespace i18n
