// A named stored picture of a picture note, and the collection of them.
#pragma once

#include "skin/NamedPictureItem.h"

namespace skin {

class TPictureItem : public TNamedPictureItem {
 public:
  explicit TPictureItem(ui::TCollection& collection) : TNamedPictureItem(collection) {}
  std::wstring_view ClassName() const override { return L"TPictureItem"; }

 protected:
  std::wstring_view NamePrefix() const override { return L"Picture_"; }
};

class TPictureItems : public ui::TTypedCollection<TPictureItem> {
 public:
  using TTypedCollection::TTypedCollection;
};

}  // namespace skin
