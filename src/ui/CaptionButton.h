// What tool-bar buttons and speed buttons have in common: a window-less
// button of the usual 23 x 22 size that shows only its caption, centred.
// Each kind derives from it and names itself.
#pragma once

#include "ui/Control.h"

namespace ui {

class TCaptionButton : public TGraphicControl {
 public:
  void Paint(TCanvas& canvas) override;

 protected:
  explicit TCaptionButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }
};

}  // namespace ui
