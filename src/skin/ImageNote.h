// A picture control that shows one of several stored pictures, chosen by
// index. The shown picture is a copy: changing a stored picture later shows
// only when the index is set again.
#pragma once

#include "skin/PictureItem.h"
#include "ui/Image.h"

namespace skin {

class TImageNote : public ui::TImage {
 public:
  explicit TImageNote(ui::TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TImageNote"; }

  TPictureItems& Items() { return items_; }
  const TPictureItems& Items() const { return items_; }

  int ImageIndex() const { return imageIndex_; }
  // 0..Count-1 shows that item's picture, -1 shows none, anything else is
  // ignored. While loading only the index is stored.
  virtual void SetImageIndex(int index);

  // A designer aid: remembers the bounds while locked, so that a designer
  // can put them back; at run time it has no visible effect.
  bool Locked() const { return locked_; }
  virtual void SetLocked(bool locked);
  ui::TRect LockedBounds() const { return lockedBounds_; }
  virtual void RestoreLockedBounds();

 private:
  TPictureItems items_;
  int imageIndex_ = -1;
  bool locked_ = false;
  ui::TRect lockedBounds_;
};

}  // namespace skin
