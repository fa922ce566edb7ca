#include "skin/ImageNote.h"

namespace skin {

TImageNote::TImageNote(ui::TComponent* owner) : TImage(owner), items_(this) {}

void TImageNote::SetImageIndex(int index) {
  if (IsLoading()) {
    imageIndex_ = index;
  } else if (index >= 0 && index < items_.Count()) {
    imageIndex_ = index;
    SetPicture(items_.Items(index).Picture());
  } else if (index == -1) {
    SetPicture(ui::TPicture{});
    imageIndex_ = -1;
  }
}

void TImageNote::SetLocked(bool locked) {
  locked_ = locked;
  if (locked) lockedBounds_ = BoundsRect();
}

void TImageNote::RestoreLockedBounds() {
  if (!locked_) return;
  if (Top() != lockedBounds_.Top) SetTop(lockedBounds_.Top);
  if (Left() != lockedBounds_.Left) SetLeft(lockedBounds_.Left);
  if (Width() != lockedBounds_.Width()) SetWidth(lockedBounds_.Width());
  if (Height() != lockedBounds_.Height()) SetHeight(lockedBounds_.Height());
}

}  // namespace skin
