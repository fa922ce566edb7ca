// The keyboard of one form: which of its window-less controls has the
// focus, how Tab and Shift+Tab move it, Enter and Space pressing the focused
// control, Esc pressing the form's cancel control, and when the focus cue
// shows. The form's window keeps the system's focus; inside it this object
// says which control stands for it.
//
// The cue follows the system's rule for keyboard cues: hidden until the
// keyboard is used to move around, unless the user has asked for cues
// always, and shown only while the window has the system's focus. The form
// keeps that UI state itself and speaks the system's protocol for it
// (WM_CHANGEUISTATE, WM_UPDATEUISTATE, WM_QUERYUISTATE): under Wine 8 the
// default window procedure answered WM_QUERYUISTATE with 0 after a UIS_SET. A control that stops
// being able to take the focus (it is disabled or hidden) passes it to the next control that can.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "ui/Component.h"

namespace ui {

class TControl;
class TForm;

class TKeyboardFocus {
 public:
  explicit TKeyboardFocus(TForm& form);
  TKeyboardFocus(const TKeyboardFocus&) = delete;
  TKeyboardFocus& operator=(const TKeyboardFocus&) = delete;

  // Null when no control has it.
  TControl* Focused() const;
  // Moves the focus to `control` if it can take it (null clears it);
  // returns whether `control` has it afterwards.
  bool SetFocused(TControl* control);
  // A tab stop without a window of its own, enabled and visible up to the
  // form (the form's own visibility aside: the focus is chosen before the
  // window shows).
  bool CanTake(const TControl& control) const;
  // Every tab stop of the form in Tab order, whether or not it can take
  // the focus now.
  std::vector<TControl*> TabStops() const;
  // Tab (forward) and Shift+Tab: the next control that can take the focus,
  // round the end.
  void SelectNext(bool forward);

  // Esc presses this control, as if it were clicked.
  TControl* CancelControl() const { return cancel_.Get(); }
  void SetCancelControl(TControl* control);

  // Whether the focused control shows its cue now, and which one that is.
  bool CueShown() const;
  TControl* CueToPaint() const { return CueShown() ? Focused() : nullptr; }

  // The form's window exists: the focus goes to the first control that can
  // take it, and the cues start as the system says for a new window.
  void WindowCreated();
  // A control was enabled, disabled, shown or hidden, or became a tab stop.
  void ControlChanged(const TControl& control);
  // The form's messages that concern the keyboard; true when handled, with
  // the answer in `result`.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  // A control and whether it still exists.
  struct Watched {
    TControl* control = nullptr;
    std::optional<TComponentGuard> alive;
    TControl* Get() const;
    void Set(TControl* c);
  };

  void KeyDown(WPARAM key, LPARAM flags);
  void KeyUp(WPARAM key);
  void ShowCues();
  void UpdateUiState(WORD action, WORD flags);
  void BeginPress(WPARAM key);
  // Ends a press; a completed one clicks the control.
  void EndPress(bool completed);
  void InvalidateCue(TControl* control) const;
  void AnnounceFocus() const;
  bool WindowHasFocus() const;

  TForm& form_;
  Watched focused_;
  Watched pressed_;
  WPARAM pressKey_ = 0;
  Watched cancel_;
  // UISF_HIDEFOCUS and UISF_HIDEACCEL as they stand; until the window
  // exists, nothing is shown.
  WORD uiState_ = UISF_HIDEFOCUS | UISF_HIDEACCEL;
};

}  // namespace ui
