// The system's radio button with its caption and checked state.
#pragma once

#include "ui/Button.h"

namespace ui {

class TRadioButton : public TCheckableButton {
 public:
  explicit TRadioButton(TComponent* owner = nullptr) : TCheckableButton(owner, BS_AUTORADIOBUTTON) {
    SetBounds(0, 0, 113, 17);
  }
  std::wstring_view ClassName() const override { return L"TRadioButton"; }
};

}  // namespace ui
