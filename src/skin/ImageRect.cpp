#include "skin/ImageRect.h"

#include "ui/Canvas.h"

namespace skin {

TImageRect::TImageRect(ui::TComponent* owner) : TCustomControl(owner), items_(this) {
  SetBounds(0, 0, 105, 105);
  SetColor(ui::clWindow);
  SetControlStyle(ControlStyle() | ui::csAcceptsControls);
  items_.OnChange = [this] { Invalidate(); };
}

void TImageRect::Paint(ui::TCanvas& canvas) {
  // The background (Color) is already filled, as for any windowed control.
  for (int i = 0; i < items_.Count(); ++i) {
    const TImageItem& item = items_.Items(i);
    if (!item.Visible() || item.Picture().Empty()) continue;
    const ui::TRect r = item.ItemRect(Width(), Height());
    if (item.Stretch()) {
      canvas.StretchDraw(r, item.Picture());
    } else {
      // At its own size: clipped only by the control, not by the rectangle.
      canvas.Draw(r.Left, r.Top, item.Picture());
    }
  }
}

}  // namespace skin
