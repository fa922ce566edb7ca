// What the picture rectangle's positioned images and the picture note's
// stored pictures have in common: a collection item that holds a picture
// under a name. A new item is named after its kind and its index
// ("Image_0", "Picture_3"); copying an item onto one of the same kind copies
// only the picture, so that the name and everything else stay.
#pragma once

#include <string>
#include <string_view>

#include "ui/Collection.h"
#include "ui/Picture.h"

namespace skin {

class TNamedPictureItem : public ui::TCollectionItem {
 public:
  std::wstring DisplayName() const override { return name_; }
  void Assign(const ui::TCollectionItem& source) override;

  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  const ui::TPicture& Picture() const { return picture_; }
  void SetPicture(const ui::TPicture& picture);

 protected:
  using TCollectionItem::TCollectionItem;
  // The start of a new item's name; its index follows.
  virtual std::wstring_view NamePrefix() const = 0;
  void Added() override;

 private:
  std::wstring name_;
  ui::TPicture picture_;
};

}  // namespace skin
