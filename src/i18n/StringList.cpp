#include "i18n/StringList.h"

#include <stdexcept>

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
  Changed();
  return Count() - 1;
}

void TStringList::Insert(int index, std::wstring line) {
  if (index < 0 || index > Count()) throw std::out_of_range("string list index out of range");
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TStringList::Put(int index, std::wstring line) {
  lines_.at(static_cast<size_t>(index)) = std::move(line);
  Changed();
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

int THashedStringList::IndexOfName(std::wstring_view name) const {
  return names_.Find(name, Count(), [this](int i) -> std::optional<std::wstring_view> {
    std::wstring_view line = (*this)[i];
    if (line.find(L'=') == std::wstring_view::npos) return std::nullopt;
    return NamePart(line);
  });
}

std::optional<std::wstring> THashedStringList::Value(std::wstring_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return std::nullopt;
  return std::wstring(*ValuePart((*this)[index]));
}

}  // namespace i18n
