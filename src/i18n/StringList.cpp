#include "i18n/StringList.h"

#include <stdexcept>
#include <utility>

namespace i18n {

std::wstring_view NamePart(std::wstring_view line) {
  return line.substr(0, line.find(L'='));
}

std::optional<std::wstring_view> ValuePart(std::wstring_view line) {
  const size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return std::nullopt;
  return line.substr(equals + 1);
}

TStringList::TStringList(UpperCaseFn upperCase) : upperCase_(upperCase) {}

int TStringList::Add(std::wstring line) {
  lines_.push_back(std::move(line));
  Appended(Count() - 1);
  return Count() - 1;
}

void TStringList::Insert(int index, std::wstring line) {
  if (index < 0 || index > Count()) throw std::out_of_range("string list index out of range");
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TStringList::Put(int index, std::wstring line) {
  std::wstring& slot = lines_.at(static_cast<size_t>(index));
  const std::wstring oldLine = std::exchange(slot, std::move(line));
  Replaced(index, oldLine);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("string list index out of range");
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  lines_.clear();
  Changed();
}

int TStringList::IndexOf(std::wstring_view text) const {
  const std::wstring wanted = upperCase_(text);
  for (int i = 0; i < Count(); ++i) {
    const std::wstring& line = lines_[static_cast<size_t>(i)];
    if (line.size() == text.size() && upperCase_(line) == wanted) return i;
  }
  return -1;
}

THashedStringList::THashedStringList(UpperCaseFn upperCase)
    : TStringList(upperCase), names_(upperCase) {}

namespace {

// Lines without "=" have no name and are never found.
std::optional<std::wstring_view> IndexedName(std::wstring_view line) {
  if (line.find(L'=') == std::wstring_view::npos) return std::nullopt;
  return NamePart(line);
}

}  // namespace

int THashedStringList::IndexOfName(std::wstring_view name) const {
  return names_.Find(name, Count(), [this](int i) { return IndexedName((*this)[i]); });
}

void THashedStringList::Appended(int index) {
  names_.Appended(IndexedName((*this)[index]), index);
}

// A new value under the same name (the usual write) leaves the index valid.
void THashedStringList::Replaced(int index, std::wstring_view oldLine) {
  const std::optional<std::wstring_view> oldName = IndexedName(oldLine);
  const std::optional<std::wstring_view> newName = IndexedName((*this)[index]);
  if (!oldName || !newName || UpperCase()(*oldName) != UpperCase()(*newName)) Changed();
}

std::optional<std::wstring> THashedStringList::Value(std::wstring_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return std::nullopt;
  return std::wstring(*ValuePart((*this)[index]));
}

}  // namespace i18n
