#include "i18n/IniFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace i18n {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using namespace std::string_literals;

std::wstring SystemAnsi(std::string_view bytes) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

TEST(TExtIniFileLoad, EveryMarkedEncodingFromDiskGivesTheSameDocument) {
  TempFolder folder;
  const std::wstring text = L"[Sektion]\r\nSchl\u00FCssel = Gr\u00FC\u00DFe \u65E5\rzwei=2\n";
  std::string utf8 = "\xEF\xBB\xBF";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  utf8.resize(3 + static_cast<size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data() + 3, size,
                      nullptr, nullptr);
  std::string utf16be = "\xFE\xFF";
  for (wchar_t c : text) {
    utf16be += static_cast<char>(c >> 8);
    utf16be += static_cast<char>(c & 0xFF);
  }
  const std::wstring files[] = {folder.WriteBytes(L"utf8.ini", utf8),
                                folder.WriteUtf16(L"utf16le.ini", text),
                                folder.WriteBytes(L"utf16be.ini", utf16be)};
  for (const std::wstring& file : files) {
    TExtIniFile ini;
    ASSERT_FALSE(ini.LoadFile(file)) << file.c_str();
    EXPECT_EQ(ini.ReadValue(L"SEKTION", L"schl\u00DCssel", L""), L"Gr\u00FC\u00DFe \u65E5");
    EXPECT_EQ(ini.ReadValue(L"Sektion", L"zwei", L""), L"2");
  }
}

// Without a mark the bytes are in the system's ANSI code page, which under
// Wine depends on the locale: compare with the system's own conversion.
TEST(TExtIniFileLoad, UnmarkedFilesAreReadInTheAnsiCodePage) {
  TempFolder folder;
  const std::string valueBytes =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE4\x80\xA9";
  TExtIniFile ini;
  ASSERT_FALSE(ini.LoadFile(folder.WriteBytes(L"ansi.ini", "[S]\r\nk=" + valueBytes + "\r\n")));
  const std::wstring value = ini.ReadValue(L"S", L"k", L"");
  EXPECT_EQ(value, SystemAnsi(valueBytes));
  EXPECT_NE(value, L"Gr\u00FC\u00DFe \u00E4\u20AC\u00A9")
      << "UTF-8 without a mark must not be guessed";
}

TEST(TExtIniFileLoad, AFileThatCannotBeReadKeepsTheContent) {
  TempFolder folder;
  TExtIniFile ini;
  ASSERT_FALSE(ini.LoadFile(folder.WriteUtf16(L"good.ini", L"[S]\r\nk=kept")));

  const std::error_code missing = ini.LoadFile(folder.File(L"missing.ini"));
  EXPECT_EQ(missing.value(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(ini.LoadFile(folder.Path()));

  // A file held open without sharing cannot be opened by anybody else.
  const std::wstring locked = folder.WriteUtf16(L"locked.ini", L"[S]\r\nk=new");
  HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ini.LoadFile(locked).value(), ERROR_SHARING_VIOLATION);
  CloseHandle(holder);

  EXPECT_EQ(ini.ReadValue(L"S", L"k", L""), L"kept");
}

TEST(TExtIniFileLoad, FlushNeverWritesTheFile) {
  TempFolder folder;
  const std::wstring file = folder.WriteUtf16(L"lang.lng", L"[S]\r\nk=v\r\n");
  const std::string before = ReadBytes(file);
  TExtIniFile ini;
  ASSERT_FALSE(ini.LoadFile(file));
  ini.WriteValue(L"S", L"k", L"changed");
  ini.WriteValue(L"T", L"new", L"line");
  ini.RemoveSection(L"S");
  ini.Flush();
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(ini.FileName(), L"");
}

// Odd files load without trouble: nothing here may crash or hang.
TEST(TExtIniFileLoad, HugeAndOddFilesLoad) {
  TempFolder folder;
  TExtIniFile ini;
  for (const std::string& bytes : {""s, "\xFF\xFE"s, "\xFE\xFF"s, "\xEF\xBB\xBF"s, "\xFF\xFE[\0"s,
                                   "\xFF\xFE[\0S\0]\0\n"s + "\0"s}) {
    EXPECT_FALSE(ini.LoadFile(folder.WriteBytes(L"odd.ini", bytes)));
  }

  // Tens of megabytes: 200,000 sections and one line of two megabytes.
  std::string big = "[First]\r\nlong=" + std::string(2 << 20, 'x') + "\r\n";
  for (int i = 0; i < 200000; ++i) {
    big += "[Section" + std::to_string(i) + "]\r\nkey=value" + std::to_string(i) + "\r\n" +
           std::string(60, ';') + "\r\n";
  }
  ASSERT_GT(big.size(), 20u << 20);
  ASSERT_FALSE(ini.LoadFile(folder.WriteBytes(L"big.ini", big)));
  EXPECT_EQ(ini.ReadValue(L"first", L"LONG", L"").size(), 2u << 20);
  EXPECT_EQ(ini.ReadValue(L"Section199999", L"key", L""), L"value199999");
  EXPECT_EQ(ini.ReadValue(L"Section0", L"key", L""), L"value0");
}

}  // namespace
}  // namespace i18n
