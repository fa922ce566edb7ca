// A captioned frame around other controls (the system's group box).
#pragma once

#include "ui/Button.h"

namespace ui {

class TGroupBox : public TButtonControl {
 public:
  explicit TGroupBox(TComponent* owner = nullptr) : TButtonControl(owner, BS_GROUPBOX) {
    SetBounds(0, 0, 185, 105);
  }
  std::wstring_view ClassName() const override { return L"TGroupBox"; }
};

}  // namespace ui
