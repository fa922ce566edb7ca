// From what the job reports to the line the user reads: the writer's result
// code and the system's reason become a kind, the kind becomes words in the
// current language, with the file or folder concerned in them.
#include "app/FailureReason.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "archive/ZipResult.h"
#include "i18n/Language.h"

namespace {

using archive::TJobResult;
using archive::TWriterStep;
using archive::WriterFailure;

const std::wstring kFile = L"Data\\sub1\\file00012.txt";
const std::wstring kTarget = L"C:\\Users\\Test User\\Desktop";

std::wstring English(const TJobResult& result) {
  return app::FailureReasonText(
      result, [](std::wstring_view, std::wstring_view english) { return std::wstring(english); });
}

std::wstring ShippedLanguageFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring path(exe);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"ToolBox_Language";
}

TEST(FailureReason, SaysWhatWentWrongAndWhereInOneLine) {
  struct Case {
    TJobResult result;
    std::wstring words;
  };
  const Case cases[] = {
      {WriterFailure(TWriterStep::add, zip_result::open_file, ERROR_SHARING_VIOLATION, kFile,
                     kTarget),
       L"A file is in use by another program: " + kFile},
      {WriterFailure(TWriterStep::add, zip_result::read_file, ERROR_READ_FAULT, kFile, kTarget),
       L"A file could not be read: " + kFile},
      {WriterFailure(TWriterStep::add, zip_result::write_file, ERROR_DISK_FULL, kFile, kTarget),
       L"The disk is full: " + kTarget},
      {WriterFailure(TWriterStep::close, zip_result::write_file, ERROR_DEVICE_NOT_CONNECTED, {},
                     kTarget),
       L"The target drive is not available: " + kTarget},
      {WriterFailure(TWriterStep::create, zip_result::open_file, ERROR_ACCESS_DENIED, {}, kTarget),
       L"The target folder cannot be written: " + kTarget},
      {WriterFailure(TWriterStep::add, zip_result::alloc_memory, 0, kFile, kTarget),
       L"An internal error occurred (code 0x00000300)."},
      {TJobResult(archive::jrInternal, {}, 0, ERROR_NOT_ENOUGH_MEMORY),
       L"An internal error occurred (code 8)."},
      {TJobResult(archive::jrNoSource, L""), L"The Brightkeep install folder was not found."},
      {TJobResult(archive::jrSourceEmpty, L"C:\\Brightkeep 8"),
       L"The install folder holds no files: C:\\Brightkeep 8"},
      {TJobResult(archive::jrFolderUnreadable, L"Data\\Locked", 0, ERROR_ACCESS_DENIED),
       L"A folder could not be read: Data\\Locked"},
      // A file's own "%s" stays as it is.
      {TJobResult(archive::jrFileUnreadable, L"odd %s name.txt", 0, ERROR_READ_FAULT),
       L"A file could not be read: odd %s name.txt"},
      {TJobResult(), L""},
      {TJobResult(archive::jrStopped), L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(English(c.result), c.words);
  }
}

TEST(FailureReason, APathTooLongForItsRoomGivesWayInItsMiddle) {
  // One unit per character, so that the room is a count of characters.
  const auto count = [](const std::wstring& text) { return static_cast<int>(text.size()); };
  const std::wstring path = L"Resources\\Templates\\Dark theme\\background.png";
  struct Case {
    int room;
    std::wstring shown;
  };
  const Case cases[] = {
      {100, path},
      {static_cast<int>(path.size()), path},
      // The file's name stays whole, after as much of the start as fits.
      {30, L"Resources\\Temp\u2026\\background.png"},
      {16, L"\u2026\\background.png"},
      // The name alone is too long: its end counts most.
      {12, L"Res\u2026ound.png"},
      {1, L"\u2026"},
      {0, L"\u2026"},
  };
  for (const Case& c : cases) {
    const std::wstring shown = app::FitPathInMiddle(path, c.room, count);
    EXPECT_EQ(shown, c.shown) << "room " << c.room;
    EXPECT_LE(count(shown), std::max(c.room, 1)) << "room " << c.room;
  }
}

TEST(FailureReason, ComesInTheCurrentLanguageFromTheShippedFiles) {
  i18n::TLanguage language(L"BRKPortable", ShippedLanguageFolder());
  ASSERT_TRUE(language.LoadLanguage(L"German"));
  const auto german = [&](std::wstring_view key, std::wstring_view english) {
    return language.GetMessageText(key, english);
  };
  const TJobResult full =
      WriterFailure(TWriterStep::add, zip_result::write_file, ERROR_DISK_FULL, kFile, kTarget);
  EXPECT_EQ(app::FailureReasonText(full, german), L"Der Datenträger ist voll: " + kTarget);
}

}  // namespace
