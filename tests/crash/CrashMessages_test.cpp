// The crash dialog's texts: English carries them as the tool shows them
// without a file, and every shipped language carries them too.
#include <windows.h>

#include <gtest/gtest.h>

#include "crash/CrashDialog.h"
#include "i18n/IniFile.h"

namespace crash {
namespace {

constexpr wchar_t kMessages[] = L"BRKPortable_M";
const TCrashMessage kAll[] = {kCrashStopped,     kCrashNothingLeft, kCrashPartialLeft,
                              kCrashReportSaved, kCrashNoReport,    kCrashShowReport,
                              kCrashClose};

std::wstring ShippedFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"ToolBox_Language\\";
}

TEST(CrashMessages, EnglishHoldsTheDefaults) {
  i18n::TExtIniFile english;
  ASSERT_FALSE(english.LoadFile(ShippedFolder() + L"English.lng"));
  for (const TCrashMessage& message : kAll) {
    EXPECT_EQ(english.ReadValue(kMessages, std::wstring(message.key), L"<missing>"),
              message.english)
        << std::wstring(message.key).c_str();
  }
}

TEST(CrashMessages, EveryLanguageTranslatesThem) {
  for (const wchar_t* language :
       {L"French", L"German", L"Spanish", L"Japanese", L"ChineseSimplified"}) {
    i18n::TExtIniFile file;
    ASSERT_FALSE(file.LoadFile(ShippedFolder() + language + L".lng")) << language;
    for (const TCrashMessage& message : kAll) {
      const std::wstring text = file.ReadValue(kMessages, std::wstring(message.key), L"");
      EXPECT_FALSE(text.empty()) << language << " " << std::wstring(message.key).c_str();
      EXPECT_NE(text, message.english) << language << " " << std::wstring(message.key).c_str();
    }
  }
}

}  // namespace
}  // namespace crash
