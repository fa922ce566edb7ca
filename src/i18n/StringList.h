// Ordered lists of texts as the localisation code uses them: the plain list
// (language names, section names, a section's keys) and the hashed variant
// that holds "name=value" lines and finds a line by its name. Names compare
// without regard to letter case, by upper-casing both sides with the
// injected upper-casing; when a name occurs twice, the hashed look-up finds
// the later line, so a later definition overrides an earlier one.
#pragma once

#include "i18n/TextServices.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace i18n {

// The name part of a "name=value" line (before its first "="), or the whole
// line when it has no "=".
std::wstring_view NamePart(std::wstring_view line);
// The value part (after the first "="); nullopt when the line has no "=".
std::optional<std::wstring_view> ValuePart(std::wstring_view line);

// Finds the last of a sequence of names equal to a wanted one, ignoring
// letter case. The index is built on the first look-up after a change, so a
// run of edits costs nothing until somebody asks.
class LastNameIndex {
 public:
  explicit LastNameIndex(UpperCaseFn upperCase) : upperCase_(upperCase) {}

  void Invalidate() { built_ = false; }
  // An entry appended at index: a built index takes it in at once, so that a
  // run of appends and look-ups stays linear.
  void Appended(std::optional<std::wstring_view> name, int index) {
    if (built_ && name) index_[upperCase_(*name)] = index;
  }
  UpperCaseFn UpperCase() const { return upperCase_; }

  // nameAt(i) gives the name of entry i, or nullopt for an entry that has no
  // name and must never be found.
  template <typename NameAt>
  int Find(std::wstring_view name, int count, NameAt nameAt) const {
    if (!built_) {
      index_.clear();
      for (int i = 0; i < count; ++i) {
        if (std::optional<std::wstring_view> entry = nameAt(i)) index_[upperCase_(*entry)] = i;
      }
      built_ = true;
    }
    auto found = index_.find(upperCase_(name));
    return found == index_.end() ? -1 : found->second;
  }

 private:
  UpperCaseFn upperCase_;
  mutable std::unordered_map<std::wstring, int> index_;
  mutable bool built_ = false;
};

class TStringList {
 public:
  explicit TStringList(UpperCaseFn upperCase = SystemTextServices().upperCase);
  virtual ~TStringList() = default;
  TStringList(const TStringList&) = default;
  TStringList& operator=(const TStringList&) = default;
  TStringList(TStringList&&) = default;
  TStringList& operator=(TStringList&&) = default;

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::wstring& operator[](int index) const { return lines_.at(static_cast<size_t>(index)); }
  const std::vector<std::wstring>& Lines() const { return lines_; }

  // Returns the new line's index.
  int Add(std::wstring line);
  void Insert(int index, std::wstring line);
  void Put(int index, std::wstring line);
  void Delete(int index);
  void Clear();

  // Index of the first line equal to text, ignoring letter case; -1 if none.
  int IndexOf(std::wstring_view text) const;

 protected:
  UpperCaseFn UpperCase() const { return upperCase_; }
  virtual void Changed() {}
  virtual void Appended(int /*index*/) { Changed(); }
  virtual void Replaced(int /*index*/, std::wstring_view /*oldLine*/) { Changed(); }

 private:
  UpperCaseFn upperCase_;
  std::vector<std::wstring> lines_;
};

class THashedStringList : public TStringList {
 public:
  explicit THashedStringList(UpperCaseFn upperCase = SystemTextServices().upperCase);

  // Index of the last line whose name part equals name, ignoring letter
  // case; lines without "=" have no name and are never found. -1 if none.
  int IndexOfName(std::wstring_view name) const;
  // The value of the last line named name; nullopt when there is none.
  std::optional<std::wstring> Value(std::wstring_view name) const;

 protected:
  void Changed() override { names_.Invalidate(); }
  void Appended(int index) override;
  void Replaced(int index, std::wstring_view oldLine) override;

 private:
  LastNameIndex names_;
};

}  // namespace i18n
