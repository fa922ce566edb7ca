// The system's radio button with its caption and checked state.
#pragma once

#include "ui/Button.h"

namespace ui {

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TRadioButton"; }

  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void HandleCreated() override;

 private:
  bool checked_ = false;
};

}  // namespace ui
