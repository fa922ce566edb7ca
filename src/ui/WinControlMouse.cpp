// The mouse half of the window-less host: which control the mouse is over,
// which one holds the mouse while a button is down, and the order in which
// they hear of it.
#include <windowsx.h>

#include "ui/Screen.h"
#include "ui/WinControl.h"

namespace ui {

namespace {

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TPoint LocalTo(const TControl& target, const TControl& host, TPoint p) {
  return &target == &host ? p : target.ParentToClient(p);
}

}  // namespace

TControl* TWinControl::TargetAt(TPoint p) {
  if (TControl* c = ControlAtPos(p, true)) return c;
  return ClientRect().Contains(p) ? this : nullptr;
}

// A disabled control is no hole in the window: the mouse stops at it, so a
// press on a greyed control never reaches the one beneath it (a greyed link
// over a large button). It hears only that the mouse came and went.
TControl* TWinControl::EnabledTargetAt(TPoint p) {
  TControl* target = TargetAt(p);
  return target != nullptr && target->Enabled() ? target : nullptr;
}

void TWinControl::UpdateHover(TControl* control) {
  if (control == hover_) return;
  TControl* old = hover_;
  hover_ = control;
  TComponentGuard self(*this);
  if (old != nullptr) old->MouseLeave();
  // The leave handler may have freed us or moved the mouse's target already.
  if (self.Alive() && control != nullptr && hover_ == control) control->MouseEnter();
}

void TWinControl::TrackLeave() {
  if (trackingLeave_ || handle_ == nullptr) return;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
  trackingLeave_ = TrackMouseEvent(&track) != FALSE;
}

// Handlers may run a nested message loop (a click that does a whole job)
// and may free the control that raised them, or this host. So each press and
// release keeps what it needs on the stack, checks after every handler that
// the controls still exist, and leaves the pointer's later messages, handled
// in a nested loop, to decide what lies under it.
void TWinControl::ButtonDown(TMouseButton button, TPoint p, TShiftState shift, bool doubleClick) {
  TComponentGuard self(*this);
  UpdateHover(TargetAt(p));
  if (!self.Alive()) return;
  TControl* target = TargetAt(p);
  if (target == nullptr) target = this;
  if (!target->Enabled()) return;
  const TPoint local = LocalTo(*target, *this, p);
  // As the system's buttons do: a press gives a tab stop the focus.
  if (button == mbLeft && target->TabStop()) target->SetFocus();
  if (button == mbLeft && !doubleClick && target->PreviewLeftButtonDown(local.X, local.Y)) return;
  if (target->HasStyle(csCaptureMouse)) {
    capture_ = target;
    captureButton_ = button;
    // As the system does it: the first press arms the click; the second
    // press of a double-click raises the double-click and arms nothing, so
    // a double-click never runs a click twice.
    clickPending_ = button == mbLeft && !doubleClick && target->HasStyle(csClickEvents);
    SetCapture(handle_);
  }
  TComponentGuard targetGuard(*target);
  if (doubleClick) {
    if (target->HasStyle(csDoubleClicks)) target->DblClick();
    if (!targetGuard.Alive() || !self.Alive()) return;
    shift |= ssDouble;
  }
  target->MouseDown(button, shift, local.X, local.Y);
}

void TWinControl::ButtonUp(TMouseButton button, TPoint p, TShiftState shift) {
  TControl* target = capture_;
  bool click = false;
  if (target != nullptr && button == captureButton_) {
    click = clickPending_;
    clickPending_ = false;
    capture_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  if (target == nullptr) target = EnabledTargetAt(p);
  if (target != nullptr) {
    TComponentGuard self(*this);
    TComponentGuard targetGuard(*target);
    const TPoint local = LocalTo(*target, *this, p);
    const unsigned messagesBefore = mouseMessages_;
    if (click && target->ClientRect().Contains(local)) target->Click();
    if (!self.Alive()) return;
    // Freed, or moved to another container, by its click: not ours to tell.
    if (targetGuard.Alive() && (target == this || target->Parent() == this)) {
      target->MouseUp(button, shift, local.X, local.Y);
      if (!self.Alive()) return;
    }
    // A nested loop that handled later mouse messages knows better where
    // the pointer is than this release does.
    if (mouseMessages_ != messagesBefore) return;
  }
  UpdateHover(TargetAt(p));
}

bool TWinControl::HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const TShiftState shift = ShiftFromKeys(wParam);
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ++mouseMessages_;
  switch (message) {
    case WM_MOUSEMOVE: {
      TrackLeave();
      UpdateHover(TargetAt(p));
      TControl* target = capture_ != nullptr ? capture_ : TargetAt(p);
      if (target != nullptr && target->Enabled()) {
        const TPoint local = LocalTo(*target, *this, p);
        target->MouseMove(shift, local.X, local.Y);
      }
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonDown(mbLeft, p, shift, message == WM_LBUTTONDBLCLK);
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      ButtonDown(mbRight, p, shift, message == WM_RBUTTONDBLCLK);
      return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      ButtonDown(mbMiddle, p, shift, message == WM_MBUTTONDBLCLK);
      return true;
    case WM_LBUTTONUP:
      ButtonUp(mbLeft, p, shift);
      return true;
    case WM_RBUTTONUP:
      ButtonUp(mbRight, p, shift);
      return true;
    case WM_MBUTTONUP:
      ButtonUp(mbMiddle, p, shift);
      return true;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (capture_ == nullptr) UpdateHover(nullptr);
      return true;
    case WM_CAPTURECHANGED:
      // Someone else took the mouse (a system move loop, say): no click.
      if (reinterpret_cast<HWND>(lParam) != handle_) {
        capture_ = nullptr;
        clickPending_ = false;
      }
      return false;
    default:
      return false;
  }
}

bool TWinControl::HandleSetCursor() {
  POINT screen{};
  GetCursorPos(&screen);
  ScreenToClient(handle_, &screen);
  TControl* over = capture_ != nullptr ? capture_ : EnabledTargetAt({screen.x, screen.y});
  // A disabled control's hand would promise a click that does nothing.
  TCursor id = over != nullptr ? over->Cursor() : crDefault;
  if (id == crDefault) id = Cursor();
  if (id == crDefault) return false;
  ::SetCursor(ScreenCursor(id));
  return true;
}

}  // namespace ui
