#include "ui/CaptionButton.h"

#include "ui/Canvas.h"

namespace ui {

void TCaptionButton::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  canvas.DrawTextW(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace ui
