#include "skin/PictureItem.h"

namespace skin {

void TPictureItem::Assign(const ui::TCollectionItem& source) {
  const auto* other = dynamic_cast<const TPictureItem*>(&source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  SetPicture(other->picture_);
}

void TPictureItem::SetPicture(const ui::TPicture& picture) {
  picture_.Assign(picture);
  Changed();
}

}  // namespace skin
