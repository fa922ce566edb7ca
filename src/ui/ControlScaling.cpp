// How controls follow a change of their screen's resolution: each control
// scales its own bounds and font from the layout's values; a windowed one
// then its children, and places the aligned ones again in its new size.
#include "ui/Control.h"
#include "ui/WinControl.h"

namespace ui {

TRect TControl::ScaledBounds(int from, int dpi) {
  return Bounds(scaledLeft_.ScaleTo(left_, from, dpi), scaledTop_.ScaleTo(top_, from, dpi),
                scaledWidth_.ScaleTo(width_, from, dpi), scaledHeight_.ScaleTo(height_, from, dpi));
}

void TControl::ScaleFont(int from, int dpi) {
  dpi_ = dpi;
  if (parentFont_) return;
  TFont font = font_;
  font.Height = scaledFontHeight_.ScaleTo(font_.Height, from, dpi);
  if (font == font_) return;
  font_ = font;
  FontChanged();
}

void TControl::ChangeScale(int from, int dpi) {
  dpi_ = dpi;
  const TRect r = ScaledBounds(from, dpi);
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  ScaleFont(from, dpi);
}

void TWinControl::ChangeScale(int from, int dpi) {
  TControl::ChangeScale(from, dpi);
  ScaleChildren(from, dpi);
}

void TWinControl::LayoutAfterScaling() {
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children) child->LayoutAfterScaling();
}

void TWinControl::ScaleChildren(int from, int dpi) {
  // A copy: a child may add or remove controls while it scales.
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children) child->ChangeScale(from, dpi);
  AlignControls();
}

}  // namespace ui
