#include "skin/ImageItem.h"

#include "ui/Control.h"

namespace skin {

TImageItem::TImageItem(ui::TCollection& collection) : TNamedPictureItem(collection) {
  // New items cover the whole control as it is at their creation.
  if (auto* control = dynamic_cast<ui::TControl*>(collection.Owner())) {
    width_ = control->Width();
    height_ = control->Height();
  }
}

ui::TRect TImageItem::ItemRect(int w, int h) const {
  switch (align_) {
    case ui::alTop:
      return {0, 0, w, height_};
    case ui::alBottom:
      return {0, h - height_, w, h};
    case ui::alLeft:
      return {0, 0, width_, h};
    case ui::alRight:
      return {w - width_, 0, w, h};
    case ui::alClient:
      return {0, 0, w, h};
    default:
      return ui::Bounds(left_, top_, width_, height_);
  }
}

}  // namespace skin
