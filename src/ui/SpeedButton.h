// A flat window-less button with a caption and a click.
#pragma once

#include "ui/Control.h"

namespace ui {

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner = nullptr) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
  }
  std::wstring_view ClassName() const override { return L"TSpeedButton"; }
  void Paint(TCanvas& canvas) override;
};

}  // namespace ui
