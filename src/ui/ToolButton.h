// A button of a tool bar: a window-less control with a caption and a click.
#pragma once

#include "ui/Control.h"

namespace ui {

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* owner = nullptr) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
  }
  std::wstring_view ClassName() const override { return L"TToolButton"; }
  void Paint(TCanvas& canvas) override;
};

}  // namespace ui
