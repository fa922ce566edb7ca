#include "ui/KeyboardFocus.h"

#include <algorithm>

#include "ui/AccessibleForm.h"
#include "ui/Form.h"

namespace ui {

namespace {

// The cues the form keeps: focus cues and underlined access keys.
constexpr WORD kCueFlags = UISF_HIDEFOCUS | UISF_HIDEACCEL;

// Lparam bit 30 of a key message: the key was already down (a repeat).
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

void CollectTabStops(const TWinControl& host, std::vector<TControl*>& out) {
  for (TControl* c : host.ControlsInTabOrder()) {
    if (c->IsWindowed()) {
      CollectTabStops(static_cast<const TWinControl&>(*c), out);
    } else if (c->TabStop()) {
      out.push_back(c);
    }
  }
}

bool IsPressKey(WPARAM key) {
  return key == VK_RETURN || key == VK_SPACE;
}

// The keys the form takes for itself; all others go on to the system.
bool IsFormKey(WPARAM key) {
  return key == VK_TAB || key == VK_ESCAPE || IsPressKey(key);
}

}  // namespace

TControl* TKeyboardFocus::Watched::Get() const {
  return alive && alive->Alive() ? control : nullptr;
}

void TKeyboardFocus::Watched::Set(TControl* c) {
  alive.reset();
  control = c;
  if (c != nullptr) alive.emplace(*c);
}

TKeyboardFocus::TKeyboardFocus(TForm& form) : form_(form) {}

TControl* TKeyboardFocus::Focused() const {
  return focused_.Get();
}

bool TKeyboardFocus::CanTake(const TControl& control) const {
  if (!control.TabStop() || control.IsWindowed()) return false;
  for (const TControl* c = &control; c != &form_; c = c->Parent()) {
    if (c == nullptr || !c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

std::vector<TControl*> TKeyboardFocus::TabStops() const {
  std::vector<TControl*> stops;
  CollectTabStops(form_, stops);
  return stops;
}

bool TKeyboardFocus::SetFocused(TControl* control) {
  if (control != nullptr && !CanTake(*control)) return false;
  TControl* old = Focused();
  if (old == control) return true;
  EndPress(false);
  InvalidateCue(old);
  focused_.Set(control);
  InvalidateCue(control);
  AnnounceFocus();
  return true;
}

void TKeyboardFocus::SelectNext(bool forward) {
  const std::vector<TControl*> stops = TabStops();
  const std::size_t n = stops.size();
  const auto at = std::find(stops.begin(), stops.end(), Focused());
  // Without a focused control the search starts just before the first
  // (forward) or just after the last (backward).
  const std::size_t start =
      at != stops.end() ? static_cast<std::size_t>(at - stops.begin()) : (forward ? n - 1 : 0);
  for (std::size_t step = 1; step <= n; ++step) {
    TControl* candidate = stops[forward ? (start + step) % n : (start + n - step) % n];
    if (CanTake(*candidate)) {
      SetFocused(candidate);
      return;
    }
  }
  // Nothing can take it, the control that had it included.
  SetFocused(nullptr);
}

void TKeyboardFocus::SetCancelControl(TControl* control) {
  cancel_.Set(control);
}

bool TKeyboardFocus::WindowHasFocus() const {
  return form_.HandleAllocated() && GetFocus() == form_.Handle();
}

bool TKeyboardFocus::CueShown() const {
  return Focused() != nullptr && !(uiState_ & UISF_HIDEFOCUS) && WindowHasFocus();
}

void TKeyboardFocus::WindowCreated() {
  // Hidden at first, unless the user asked the system to show keyboard
  // cues always.
  SendMessageW(form_.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, kCueFlags), 0);
  if (Focused() == nullptr) SelectNext(true);
}

void TKeyboardFocus::ControlChanged(const TControl&) {
  // While the layout is read or before the window exists, the first focus
  // is chosen once, when the window is made.
  if (!form_.HandleAllocated()) return;
  TControl* focused = Focused();
  if (focused == nullptr || !CanTake(*focused)) SelectNext(true);
}

void TKeyboardFocus::ShowCues() {
  if ((uiState_ & UISF_HIDEFOCUS) == 0) return;
  SendMessageW(form_.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void TKeyboardFocus::UpdateUiState(WORD action, WORD flags) {
  flags &= kCueFlags;
  if (action == UIS_INITIALIZE) {
    BOOL alwaysShown = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
    action = alwaysShown ? UIS_CLEAR : UIS_SET;
  }
  const WORD before = uiState_;
  if (action == UIS_SET) uiState_ |= flags;
  if (action == UIS_CLEAR) uiState_ &= static_cast<WORD>(~flags);
  if (uiState_ != before) InvalidateCue(Focused());
}

void TKeyboardFocus::BeginPress(WPARAM key) {
  TControl* control = Focused();
  if (control == nullptr) return;
  pressed_.Set(control);
  pressKey_ = key;
  control->KeyboardPress(true);
}

void TKeyboardFocus::EndPress(bool completed) {
  TControl* control = pressed_.Get();
  pressed_.Set(nullptr);
  pressKey_ = 0;
  if (control == nullptr) return;
  const TComponentGuard alive(*control);
  control->KeyboardPress(false);
  // The click may run for long and may free the form with this object: it
  // comes last.
  if (completed && alive.Alive() && CanTake(*control)) control->Click();
}

void TKeyboardFocus::KeyDown(WPARAM key, LPARAM flags) {
  const bool repeat = (flags & kKeyWasDown) != 0;
  switch (key) {
    case VK_TAB:
      ShowCues();
      SelectNext(GetKeyState(VK_SHIFT) >= 0);
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (!repeat && pressed_.Get() == nullptr) BeginPress(key);
      break;
    case VK_ESCAPE:
      if (!repeat) {
        EndPress(false);
        TControl* cancel = cancel_.Get();
        if (cancel != nullptr && cancel->Enabled()) cancel->Click();
      }
      break;
    default:
      break;
  }
}

void TKeyboardFocus::KeyUp(WPARAM key) {
  if (IsPressKey(key) && key == pressKey_) EndPress(true);
}

void TKeyboardFocus::InvalidateCue(TControl* control) const {
  if (control == nullptr || control->Parent() == nullptr || !control->Parent()->HandleAllocated()) {
    return;
  }
  // Also when the control has just been hidden: its cue is still on screen.
  const TRect area = control->FocusCueArea();
  const RECT r{control->Left() + area.Left, control->Top() + area.Top, control->Left() + area.Right,
               control->Top() + area.Bottom};
  InvalidateRect(control->Parent()->Handle(), &r, TRUE);
}

void TKeyboardFocus::AnnounceFocus() const {
  TControl* control = Focused();
  if (control != nullptr && WindowHasFocus()) {
    form_.Accessibility().Notify(*control, TAccessibleChange::kFocus);
  }
}

bool TKeyboardFocus::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_KEYDOWN:
      if (IsFormKey(wParam)) {
        KeyDown(wParam, lParam);
        result = 0;
        return true;
      }
      return false;
    case WM_KEYUP:
      if (IsFormKey(wParam)) {
        KeyUp(wParam);
        result = 0;
        return true;
      }
      return false;
    case WM_SETFOCUS:
      InvalidateCue(Focused());
      AnnounceFocus();
      return false;
    case WM_KILLFOCUS:
      EndPress(false);
      InvalidateCue(Focused());
      return false;
    case WM_CHANGEUISTATE:
      // The form is a top-level window: a change asked of it (by itself or
      // by a child) is made here and passed down to its windows.
      if (lParam == 0 && HIWORD(wParam) != 0 && LOWORD(wParam) <= UIS_INITIALIZE) {
        SendMessageW(form_.Handle(), WM_UPDATEUISTATE, wParam, 0);
      }
      result = 0;
      return true;
    case WM_UPDATEUISTATE:
      UpdateUiState(LOWORD(wParam), HIWORD(wParam));
      // The system passes it on to the child windows.
      return false;
    case WM_QUERYUISTATE:
      result = uiState_;
      return true;
    default:
      return false;
  }
}

}  // namespace ui
