// A named stored picture of a picture note, and the collection of them.
#pragma once

#include <string>

#include "ui/Collection.h"
#include "ui/Picture.h"

namespace skin {

class TPictureItem : public ui::TCollectionItem {
 public:
  explicit TPictureItem(ui::TCollection& collection) : TCollectionItem(collection) {}
  std::wstring_view ClassName() const override { return L"TPictureItem"; }
  std::wstring DisplayName() const override { return name_; }
  // Copies only the picture.
  void Assign(const ui::TCollectionItem& source) override;

  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  const ui::TPicture& Picture() const { return picture_; }
  void SetPicture(const ui::TPicture& picture);

 protected:
  void Added() override { name_ = L"Picture_" + std::to_wstring(Index()); }

 private:
  std::wstring name_;
  ui::TPicture picture_;
};

class TPictureItems : public ui::TTypedCollection<TPictureItem> {
 public:
  using TTypedCollection::TTypedCollection;
};

}  // namespace skin
