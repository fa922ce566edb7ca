// Tool-bar and speed buttons both show only their caption, centred.
#include "ui/Canvas.h"
#include "ui/SpeedButton.h"
#include "ui/ToolButton.h"

namespace ui {

namespace {
void PaintCenteredCaption(TCanvas& canvas, const TControl& button) {
  TRect r = button.ClientRect();
  canvas.DrawTextW(button.Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
}  // namespace

void TToolButton::Paint(TCanvas& canvas) {
  PaintCenteredCaption(canvas, *this);
}
void TSpeedButton::Paint(TCanvas& canvas) {
  PaintCenteredCaption(canvas, *this);
}

}  // namespace ui
