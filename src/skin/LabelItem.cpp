#include "skin/LabelItem.h"

namespace skin {

void TLabelItem::Assign(const ui::TCollectionItem& source) {
  const auto* other = dynamic_cast<const TLabelItem*>(&source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = other->text_;
}

}  // namespace skin
