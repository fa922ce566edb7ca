// The language catalogue. It knows the language files (*.lng) of one
// folder, makes one of them current, sets the visible texts of a window's
// components from it and answers look-ups of message texts with a built-in
// default, so that a missing file or key never leaves a text blank.
//
// A language file is an INI document: section "Main" holds "DisplayName";
// section <tool section>_<window name> holds the texts of that window's
// components (keys like "imgBtnGen.Caption", "lst.Items[0].Caption",
// "lv.Columns[1].Caption"); section <tool section>_M holds the messages.
#pragma once

#include "i18n/IniFile.h"
#include "i18n/StringList.h"

#include <string>
#include <string_view>

namespace ui {
class TComponent;
}

namespace i18n {

class TLanguage {
 public:
  // Looks for language files in the folder "Language" beside the executable,
  // but reads nothing yet.
  explicit TLanguage(std::wstring section);
  // Lists and reads the language files of folder; the last one listed that
  // could be read becomes current.
  TLanguage(std::wstring section, const std::wstring& folder);

  void ScanLanguages(const std::wstring& folder);
  // Makes the language of that base name current; a name without a file
  // falls back to "English", and without that the current language stays.
  // Returns true when a file was loaded. A listed file that cannot be read
  // keeps the previous language current, with its texts and messages.
  bool LoadLanguage(std::wstring_view name);

  // Sets the texts of a window and of the components it owns from the
  // section <tool section>_<its name>; a missing key leaves a text as it is.
  // Errors end the translation of that component silently: the texts set
  // until then stay.
  void TranslateComponent(ui::TComponent& component);

  std::wstring GetMessageText(std::wstring_view key, std::wstring_view defaultText) const;
  std::wstring GetMessageValue(std::wstring_view key) const;
  std::wstring ReadLanguageValue(std::wstring_view section, std::wstring_view key,
                                 std::wstring_view defaultValue) const;

  const std::wstring& Section() const { return FSection; }
  const std::wstring& Folder() const { return FFolder; }
  int LanguageIndex() const { return FLanguageIndex; }
  const TStringList& LanguageNames() const { return FLanguageNames; }
  const TStringList& DisplayNames() const { return FDisplayNames; }

 private:
  std::wstring LanguageFile(std::wstring_view name) const;
  void TranslateOwned(const std::wstring& section, ui::TComponent& component);

  std::wstring FSection;
  std::wstring FFolder;
  int FLanguageIndex = -1;
  TStringList FLanguageNames;
  TStringList FDisplayNames;
  TExtIniFile FIniFile;
  THashedStringList FMessages;
};

}  // namespace i18n
