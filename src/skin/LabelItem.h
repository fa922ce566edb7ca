// A stored text of a label note, with an optional name, and the collection.
#pragma once

#include <string>

#include "ui/Collection.h"

namespace skin {

class TLabelItem : public ui::TCollectionItem {
 public:
  explicit TLabelItem(ui::TCollection& collection) : TCollectionItem(collection) {}
  std::wstring_view ClassName() const override { return L"TLabelItem"; }
  std::wstring DisplayName() const override { return text_; }
  // Copies only the text.
  void Assign(const ui::TCollectionItem& source) override;

  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& text) { text_ = text; }
  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }

 protected:
  void Added() override { text_ = L"Text_" + std::to_wstring(Index()); }

 private:
  std::wstring text_;
  std::wstring name_;
};

class TLabelItems : public ui::TTypedCollection<TLabelItem> {
 public:
  using TTypedCollection::TTypedCollection;
};

}  // namespace skin
