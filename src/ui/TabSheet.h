// One page of a tabbed set: a container with a caption (its tab's text).
#pragma once

#include "ui/WinControl.h"

namespace ui {

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner = nullptr) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
  }
  std::wstring_view ClassName() const override { return L"TTabSheet"; }
};

}  // namespace ui
