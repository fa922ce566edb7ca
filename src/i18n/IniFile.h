// An INI-syntax document held entirely in memory. It is read from a file in
// one go and then answers look-ups by section and key without touching the
// disk again; changes stay in memory and are never written back. The
// language catalogue keeps one for the current language file.
//
// Sections and keys are found without regard to letter case, and when a
// name occurs twice the later one wins: a later section of the same name
// hides the earlier one, a later key line overrides an earlier one.
#pragma once

#include "i18n/StringList.h"
#include "i18n/TextServices.h"

#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace i18n {

class TExtIniFile {
 public:
  explicit TExtIniFile(TextServices services = SystemTextServices());

  // The common INI interface names a file; this document is never tied to
  // one, so the name stays empty.
  const std::wstring& FileName() const { return fileName_; }

  // Replaces the content by the parse of the file. On failure returns the
  // platform's error and keeps the content that was loaded before.
  std::error_code LoadFile(const std::wstring& path);
  // Replaces the content by the parse of a file's bytes (see DecodeText).
  void LoadBytes(std::string_view bytes);
  void ParseLines(std::span<const std::wstring> lines);

  std::wstring ReadValue(std::wstring_view section, std::wstring_view key,
                         std::wstring_view defaultValue) const;
  // Each clears target, then fills it when the section exists.
  void SectionLines(std::wstring_view section, TStringList& target) const;
  void SectionKeys(std::wstring_view section, TStringList& target) const;
  void SectionNames(TStringList& target) const;
  bool HasKey(std::wstring_view section, std::wstring_view key) const;

  void WriteValue(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  void RemoveKey(std::wstring_view section, std::wstring_view key);
  void RemoveSection(std::wstring_view section);
  // Changes are never written to a file, so there is nothing to flush.
  void Flush() {}

 private:
  struct Section {
    std::wstring name;
    THashedStringList lines;
  };

  int FindSection(std::wstring_view name) const;
  // The lines of the named section, or null when there is none.
  const THashedStringList* FindLines(std::wstring_view section) const;
  void SectionsChanged() { sectionIndex_.Invalidate(); }

  TextServices services_;
  std::wstring fileName_;
  std::vector<Section> sections_;
  LastNameIndex sectionIndex_;
};

}  // namespace i18n
