// The standard picture control: a window-less control that shows one
// picture, at its own size in the top-left corner, centred, or stretched
// over the whole control, and can size itself to the picture.
#pragma once

#include "ui/Control.h"
#include "ui/Picture.h"

namespace ui {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TImage"; }

  const TPicture& Picture() const { return picture_; }
  // Copies the picture; the caller keeps its own.
  void SetPicture(const TPicture& picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  bool Center() const { return center_; }
  void SetCenter(bool on);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

  void Paint(TCanvas& canvas) override;

 protected:
  virtual void PictureChanged();

 private:
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool autoSize_ = false;
};

}  // namespace ui
