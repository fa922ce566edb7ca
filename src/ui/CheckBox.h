// The system's check box with its caption and checked state.
#pragma once

#include "ui/Button.h"

namespace ui {

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TCheckBox"; }

  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void HandleCreated() override;

 private:
  bool checked_ = false;
};

}  // namespace ui
