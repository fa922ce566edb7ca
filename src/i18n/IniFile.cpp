#include "i18n/IniFile.h"

#include "i18n/FileBytes.h"
#include "i18n/TextDecoding.h"

#include <new>
#include <stdexcept>

namespace i18n {
namespace {

// Spaces, tabs and every other control character count as blank.
bool IsBlank(wchar_t c) {
  return static_cast<unsigned>(c) <= 32;
}

std::wstring_view Trim(std::wstring_view text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace

TExtIniFile::TExtIniFile(TextServices services)
    : services_(services), sectionIndex_(services.upperCase) {}

std::error_code TExtIniFile::LoadFile(const std::wstring& path) {
  std::string bytes;
  if (std::error_code error = ReadFileBytes(path, bytes)) return error;
  // The new content is built completely before it replaces the old, so a
  // file that is too large to hold leaves the document as it was.
  TExtIniFile loaded(services_);
  try {
    loaded.LoadBytes(bytes);
  } catch (const std::bad_alloc&) {
    return std::make_error_code(std::errc::not_enough_memory);
  } catch (const std::length_error&) {
    return std::make_error_code(std::errc::file_too_large);
  }
  sections_ = std::move(loaded.sections_);
  SectionsChanged();
  return {};
}

void TExtIniFile::LoadBytes(std::string_view bytes) {
  const std::vector<std::wstring> lines = SplitLines(DecodeText(bytes, services_.decodeAnsi));
  ParseLines(lines);
}

void TExtIniFile::ParseLines(std::span<const std::wstring> lines) {
  sections_.clear();
  SectionsChanged();
  Section* current = nullptr;
  for (const std::wstring& rawLine : lines) {
    const std::wstring_view line = Trim(rawLine);
    if (line.empty() || line.front() == L';') continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      const std::wstring_view name = Trim(line.substr(1, line.size() - 2));
      sections_.push_back({std::wstring(name), THashedStringList(services_.upperCase)});
      current = &sections_.back();
      continue;
    }
    if (current == nullptr) continue;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      current->lines.Add(std::wstring(line));
    } else {
      std::wstring normalised(Trim(line.substr(0, equals)));
      normalised += L'=';
      normalised += Trim(line.substr(equals + 1));
      current->lines.Add(std::move(normalised));
    }
  }
  SectionsChanged();
}

int TExtIniFile::FindSection(std::wstring_view name) const {
  return sectionIndex_.Find(name, static_cast<int>(sections_.size()),
                            [this](int i) -> std::optional<std::wstring_view> {
                              return sections_[static_cast<size_t>(i)].name;
                            });
}

const THashedStringList* TExtIniFile::FindLines(std::wstring_view section) const {
  const int sectionIndex = FindSection(section);
  return sectionIndex < 0 ? nullptr : &sections_[static_cast<size_t>(sectionIndex)].lines;
}

std::wstring TExtIniFile::ReadValue(std::wstring_view section, std::wstring_view key,
                                    std::wstring_view defaultValue) const {
  const THashedStringList* lines = FindLines(section);
  if (lines == nullptr) return std::wstring(defaultValue);
  std::optional<std::wstring> value = lines->Value(key);
  return value ? std::move(*value) : std::wstring(defaultValue);
}

void TExtIniFile::SectionLines(std::wstring_view section, TStringList& target) const {
  target.Clear();
  const THashedStringList* lines = FindLines(section);
  if (lines == nullptr) return;
  for (const std::wstring& line : lines->Lines()) target.Add(line);
}

void TExtIniFile::SectionKeys(std::wstring_view section, TStringList& target) const {
  target.Clear();
  const THashedStringList* lines = FindLines(section);
  if (lines == nullptr) return;
  for (const std::wstring& line : lines->Lines()) {
    target.Add(ValuePart(line) ? std::wstring(NamePart(line)) : std::wstring());
  }
}

void TExtIniFile::SectionNames(TStringList& target) const {
  target.Clear();
  for (const Section& section : sections_) target.Add(section.name);
}

bool TExtIniFile::HasKey(std::wstring_view section, std::wstring_view key) const {
  const THashedStringList* lines = FindLines(section);
  if (lines == nullptr) return false;
  if (lines->IndexOfName(key) >= 0) return true;
  // A line without "=" lists as a key with an empty name.
  if (!key.empty()) return false;
  for (const std::wstring& line : lines->Lines()) {
    if (!ValuePart(line)) return true;
  }
  return false;
}

void TExtIniFile::WriteValue(std::wstring_view section, std::wstring_view key,
                             std::wstring_view value) {
  int sectionIndex = FindSection(section);
  if (sectionIndex < 0) {
    sections_.push_back({std::wstring(section), THashedStringList(services_.upperCase)});
    sectionIndex = static_cast<int>(sections_.size()) - 1;
    sectionIndex_.Appended(section, sectionIndex);
  }
  THashedStringList& lines = sections_[static_cast<size_t>(sectionIndex)].lines;
  std::wstring line(key);
  line += L'=';
  line += value;
  const int lineIndex = lines.IndexOfName(key);
  if (lineIndex >= 0) {
    lines.Put(lineIndex, std::move(line));
  } else {
    lines.Add(std::move(line));
  }
}

void TExtIniFile::RemoveKey(std::wstring_view section, std::wstring_view key) {
  const int sectionIndex = FindSection(section);
  if (sectionIndex < 0) return;
  THashedStringList& lines = sections_[static_cast<size_t>(sectionIndex)].lines;
  const int lineIndex = lines.IndexOfName(key);
  if (lineIndex >= 0) lines.Delete(lineIndex);
}

void TExtIniFile::RemoveSection(std::wstring_view section) {
  const int sectionIndex = FindSection(section);
  if (sectionIndex < 0) return;
  sections_.erase(sections_.begin() + sectionIndex);
  SectionsChanged();
}

}  // namespace i18n
