// Stands in for the skinned caption bar (TFormBorder) until the skinned
// controls provide it: paints the bar from its left, middle and right
// pictures and moves the window when it is pressed, which is all the main
// window uses of it. It takes the class name "TFormBorder" in the layout;
// remove it (and its registration) once the real control exists.
#pragma once

#include "ui/Control.h"
#include "ui/Picture.h"

namespace app {

class THeaderBarStandIn : public ui::TGraphicControl {
 public:
  explicit THeaderBarStandIn(ui::TComponent* owner = nullptr) : ui::TGraphicControl(owner) {}
  std::wstring_view ClassName() const override { return L"TFormBorder"; }

  void SetLeftPic(ui::TPicture p) { left_ = std::move(p); }
  void SetRightPic(ui::TPicture p) { right_ = std::move(p); }
  void SetClientPic(ui::TPicture p) { client_ = std::move(p); }
  void Paint(ui::TCanvas& canvas) override;

 protected:
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

 private:
  ui::TPicture left_, right_, client_;
};

// Registers the stand-in under "TFormBorder" with the properties the main
// window's layout sets.
void RegisterHeaderBarStandIn();

}  // namespace app
