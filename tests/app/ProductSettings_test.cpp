// Reading what the installed product leaves for the tool: its install
// folder from the registry's 32-bit view and its language from its
// settings file.
#include "app/ProductSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../i18n/TempFolder.h"

namespace {

constexpr wchar_t kTestKey[] = L"SOFTWARE\\BrightkeepPortableTests\\Uninstall";

// A key of the 32-bit view that exists for one test.
class TestKey {
 public:
  TestKey() {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                    nullptr, &key_, nullptr);
  }
  ~TestKey() {
    RegCloseKey(key_);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_32KEY, 0);
  }
  void Set(DWORD type, const void* data, DWORD bytes) {
    RegSetValueExW(key_, L"InstallLocation", 0, type, static_cast<const BYTE*>(data), bytes);
  }
  void SetText(DWORD type, const std::wstring& text) {
    Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

 private:
  HKEY key_ = nullptr;
};

TEST(InstallLocation, TextValuesEndInABackslashAndAnythingElseCountsAsMissing) {
  struct Case {
    const char* what;
    DWORD type;
    std::wstring text;
    std::wstring expected;
  };
  const Case cases[] = {
      {"plain path", REG_SZ, L"C:\\Program Files (x86)\\Brightkeep 8",
       L"C:\\Program Files (x86)\\Brightkeep 8\\"},
      {"path with its backslash", REG_SZ, L"D:\\BK\\", L"D:\\BK\\"},
      {"empty text", REG_SZ, L"", L""},
      {"expandable text, as written", REG_EXPAND_SZ, L"%ProgramFiles%\\BK",
       L"%ProgramFiles%\\BK\\"},
  };
  for (const Case& c : cases) {
    TestKey key;
    key.SetText(c.type, c.text);
    EXPECT_EQ(app::ReadInstallLocation(kTestKey), c.expected) << c.what;
  }

  TestKey number;
  const DWORD value = 42;
  number.Set(REG_DWORD, &value, sizeof value);
  EXPECT_EQ(app::ReadInstallLocation(kTestKey), L"") << "a number is no folder";
}

TEST(InstallLocation, MissingKeyOrValueGivesNothing) {
  EXPECT_EQ(app::ReadInstallLocation(kTestKey), L"");
  TestKey emptyKey;
  EXPECT_EQ(app::ReadInstallLocation(kTestKey), L"");
}

TEST(InstallLocation, OnlyThe32BitViewCounts) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring text = L"C:\\Native";
  RegSetValueExW(key, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  EXPECT_EQ(app::ReadInstallLocation(kTestKey), L"");
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY, 0);
}

TEST(ProductLanguage, ReadFromTheSettingsFileWithEnglishAsTheFallback) {
  i18n::testing_support::TempFolder folder;
  const std::wstring file = app::ProductSettingsFile(folder.Path());
  EXPECT_EQ(file, folder.Path() + L"\\Halvane\\Brightkeep V8\\Main.ini");
  EXPECT_EQ(app::ReadProductLanguage(file), L"English") << "no file";

  CreateDirectoryW((folder.Path() + L"\\Halvane").c_str(), nullptr);
  CreateDirectoryW((folder.Path() + L"\\Halvane\\Brightkeep V8").c_str(), nullptr);
  struct Case {
    const char* content;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"[Main]\r\nLanguage=German\r\n", L"German"},
      {"[Main]\r\nTheme=Dark\r\n", L"English"},
      {"[Other]\r\nLanguage=French\r\n", L"English"},
      {"[main]\r\nlanguage = Japanese \r\n", L"Japanese"},
  };
  for (const Case& c : cases) {
    folder.WriteBytes(L"Halvane\\Brightkeep V8\\Main.ini", c.content);
    EXPECT_EQ(app::ReadProductLanguage(file), c.expected) << c.content;
  }
}

}  // namespace
