#include "ui/Control.h"

#include "ui/AccessibleForm.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/KeyboardFocus.h"
#include "ui/Screen.h"
#include "ui/WinControl.h"

namespace ui {

namespace {

// A control that can no longer take the focus passes it on; the readers
// hear of what they may announce.
void StateChanged(TControl& control, TAccessibleChange change) {
  TForm* form = ParentForm(control);
  if (form == nullptr) return;
  form->Keyboard().ControlChanged(control);
  form->Accessibility().Notify(control, change);
}

}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  if (parent_ == nullptr) return;
  // What it covered shows again. TControl's own Invalidate, as the derived
  // parts are gone: the parent repaints the control's rectangle.
  TControl::Invalidate();
  parent_->RemoveControl(*this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) {
    Invalidate();
    parent_->RemoveControl(*this);
  }
  parent_ = parent;
  if (parent_ != nullptr) {
    parent_->InsertControl(*this);
    if (parentFont_) FontChanged();
    Invalidate();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  if (resized) Resized();
}

void TControl::StoreBounds(const TRect& bounds) {
  const bool resized = bounds.Width() != width_ || bounds.Height() != height_;
  left_ = bounds.Left;
  top_ = bounds.Top;
  width_ = bounds.Width();
  height_ = bounds.Height();
  if (resized) Resized();
}

void TControl::Resized() {
  if (OnResize) OnResize(*this);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  // Before hiding, so that the area it covered is repainted.
  if (!visible) Invalidate();
  visible_ = visible;
  if (visible) Invalidate();
  if (parent_ != nullptr && align_ != alNone) parent_->AlignControls();
  StateChanged(*this, visible ? TAccessibleChange::kShown : TAccessibleChange::kHidden);
}

bool TControl::Showing() const {
  if (!visible_) return false;
  if (parent_ == nullptr) return IsWindowed();
  return parent_->Showing();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
  StateChanged(*this, TAccessibleChange::kState);
}

void TControl::SetTabStop(bool on) {
  if (on == tabStop_) return;
  tabStop_ = on;
  StateChanged(*this, TAccessibleChange::kState);
}

bool TControl::CanFocus() const {
  const TForm* form = ParentForm(*this);
  return form != nullptr && form->Keyboard().CanTake(*this);
}

bool TControl::Focused() const {
  const TForm* form = ParentForm(*this);
  return form != nullptr && form->Keyboard().Focused() == this;
}

bool TControl::SetFocus() {
  TForm* form = ParentForm(*this);
  return form != nullptr && form->Keyboard().SetFocused(this);
}

void TControl::PaintFocusCue(TCanvas& canvas) {
  const RECT r{0, 0, width_, height_};
  DrawFocusRect(canvas.Handle(), &r);
}

void TControl::KeyboardPress(bool pressed) {
  if (OnKeyboardPress) OnKeyboardPress(*this, pressed);
}

const std::wstring& TControl::AccessibleName() const {
  return accessibleName_.empty() ? caption_ : accessibleName_;
}

void TControl::SetAccessibleName(const std::wstring& name) {
  if (name == accessibleName_) return;
  accessibleName_ = name;
  NotifyAccessible(TAccessibleChange::kName);
}

void TControl::NotifyAccessible(TAccessibleChange change) const {
  if (accessibleRole_ == arNone) return;
  if (const TForm* form = ParentForm(*this)) form->Accessibility().Notify(*this, change);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (parent_ != nullptr && parent_->hover_ == this) {
    ::SetCursor(ScreenCursor(cursor != crDefault ? cursor : parent_->Cursor()));
  }
}

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_ != nullptr) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetShowHint(bool show) {
  showHint_ = show;
  parentShowHint_ = false;
}

void TControl::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  TextChanged();
  if (accessibleName_.empty()) NotifyAccessible(TAccessibleChange::kName);
}

const TFont& TControl::Font() const {
  if (parentFont_ && parent_ != nullptr) return parent_->Font();
  return font_;
}

void TControl::SetFont(const TFont& font) {
  parentFont_ = false;
  if (font == font_) return;
  font_ = font;
  FontChanged();
}

void TControl::SetParentFont(bool follow) {
  if (follow == parentFont_) return;
  // Leaving the parent's font keeps its look until a font is set.
  if (!follow) font_ = Font();
  parentFont_ = follow;
  FontChanged();
}

void TControl::ParentFontChanged() {
  if (parentFont_) FontChanged();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_ != nullptr) parent_->AlignControls();
}

void TControl::BringToFront() {
  if (parent_ != nullptr) parent_->MoveInZOrder(*this, true);
}

void TControl::SendToBack() {
  if (parent_ != nullptr) parent_->MoveInZOrder(*this, false);
}

void TControl::Invalidate() {
  if (parent_ == nullptr || !parent_->HandleAllocated() || !visible_) return;
  const RECT r{left_, top_, left_ + width_, top_ + height_};
  // A control that paints only part of its area needs what lies beneath
  // repainted first.
  InvalidateRect(parent_->Handle(), &r, HasStyle(csOpaque) ? FALSE : TRUE);
}

void TControl::Repaint() {
  Invalidate();
  if (parent_ != nullptr && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::Paint(TCanvas&) {}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(*this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TControl::Click() {
  if (OnClick) OnClick(*this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

}  // namespace ui
