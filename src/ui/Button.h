// The real push button, and the base of the other controls the system's
// "BUTTON" class provides (group box, check box, radio button): our control
// creates the system window with the style of its kind and hears of clicks
// through its parent.
#pragma once

#include "ui/WinControl.h"

namespace ui {

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* owner, DWORD buttonStyle);

 protected:
  void CreateParams(TCreateParams& params) override;
  bool Notification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  DWORD buttonStyle_;
};

// A button with a checked state (check box, radio button), kept here until
// the window exists and then read from it.
class TCheckableButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;

  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void HandleCreated() override { SetChecked(checked_); }

 private:
  bool checked_ = false;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TButton"; }
};

}  // namespace ui
