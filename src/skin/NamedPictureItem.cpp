#include "skin/NamedPictureItem.h"

#include <typeinfo>

namespace skin {

void TNamedPictureItem::Assign(const ui::TCollectionItem& source) {
  const auto* other = dynamic_cast<const TNamedPictureItem*>(&source);
  if (other == nullptr || typeid(*other) != typeid(*this)) {
    TCollectionItem::Assign(source);
    return;
  }
  SetPicture(other->picture_);
}

void TNamedPictureItem::SetPicture(const ui::TPicture& picture) {
  picture_.Assign(picture);
  Changed();
}

void TNamedPictureItem::Added() {
  name_ = std::wstring(NamePrefix()) + std::to_wstring(Index());
}

}  // namespace skin
