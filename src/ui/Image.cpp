#include "ui/Image.h"

#include "ui/Canvas.h"

namespace ui {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 105, 105);
}

void TImage::SetPicture(const TPicture& picture) {
  picture_.Assign(picture);
  PictureChanged();
}

void TImage::PictureChanged() {
  if (autoSize_ && !picture_.Empty()) {
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  }
  Invalidate();
}

void TImage::SetStretch(bool on) {
  if (on == stretch_) return;
  stretch_ = on;
  Invalidate();
}

void TImage::SetCenter(bool on) {
  if (on == center_) return;
  center_ = on;
  Invalidate();
}

void TImage::SetAutoSize(bool on) {
  if (on == autoSize_) return;
  autoSize_ = on;
  if (on) PictureChanged();
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), picture_);
  } else if (center_) {
    canvas.Draw((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_);
  } else {
    canvas.Draw(0, 0, picture_);
  }
}

}  // namespace ui
