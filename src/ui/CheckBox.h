// The system's check box with its caption and checked state.
#pragma once

#include "ui/Button.h"

namespace ui {

class TCheckBox : public TCheckableButton {
 public:
  explicit TCheckBox(TComponent* owner = nullptr) : TCheckableButton(owner, BS_AUTOCHECKBOX) {
    SetBounds(0, 0, 97, 17);
  }
  std::wstring_view ClassName() const override { return L"TCheckBox"; }
};

}  // namespace ui
