// A rectangle painted from several positioned pictures, such as a bar made
// of a stretched middle and two end caps: first its colour, then each
// visible item with a picture, in collection order (later ones on top),
// blended by the pictures' alpha.
#pragma once

#include "skin/ImageItem.h"
#include "ui/WinControl.h"

namespace skin {

class TImageRect : public ui::TCustomControl {
 public:
  explicit TImageRect(ui::TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TImageRect"; }

  TImageItems& Items() { return items_; }
  const TImageItems& Items() const { return items_; }

  void Paint(ui::TCanvas& canvas) override;
  // The items' places follow the scale too (Scaling.cpp).
  void ChangeScale(int from, int dpi) override;

 private:
  TImageItems items_;
};

}  // namespace skin
