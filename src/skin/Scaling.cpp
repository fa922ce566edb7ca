// How the skinned controls follow their window to a screen of another
// resolution (see ui/Scale.h): besides their bounds and font, every pixel
// value of their own is scaled from the layout's. Their pictures are the
// window's to replace (the form's named pictures); what the controls derive
// from their pictures' sizes (the form border's areas, the progress bar's
// filled part) follows from those.
#include "skin/FormBorder.h"
#include "skin/ImageButton.h"
#include "skin/ImageItem.h"
#include "skin/ImageProgress.h"
#include "skin/ImageRect.h"

namespace skin {

void TImageButton::ChangeScale(int from, int dpi) {
  ui::TGraphicControl::ChangeScale(from, dpi);
  for (int* field :
       {&textOffset_, &textTopOffset_, &iconOffset_, &checkBoxOffset_, &captionDescWidth_,
        &captionDescTopOffset_, &subCaptionOffset_, &subCaptionTopOffset_, &proImageTopOffset_,
        &riskRateOffset_, &riskRateArrowTop_}) {
    *field = scaledFields_.ScaleTo(*field, from, dpi);
  }
  for (ui::TFont* font : {&captionDescFont_, &subCaptionFont_, &subCaptionDataFont_,
                          &riskRateMinFont_, &riskRateMidFont_, &riskRateHigFont_}) {
    font->Height = scaledFields_.ScaleTo(font->Height, from, dpi);
  }
  Invalidate();
}

void TFormBorder::ChangeScale(int from, int dpi) {
  ui::TGraphicControl::ChangeScale(from, dpi);
  FSizeRectWidth = FScaledFields.ScaleTo(FSizeRectWidth, from, dpi);
  FSizeRectHeight = FScaledFields.ScaleTo(FSizeRectHeight, from, dpi);
  LayoutChanged();
}

void TImageItem::ChangeScale(int from, int dpi) {
  for (int* field : {&left_, &top_, &width_, &height_})
    *field = scaledFields_.ScaleTo(*field, from, dpi);
  Changed();
}

void TImageRect::ChangeScale(int from, int dpi) {
  ui::TCustomControl::ChangeScale(from, dpi);
  for (int i = 0; i < items_.Count(); ++i) items_.Items(i).ChangeScale(from, dpi);
}

void TImageProgress::ChangeScale(int from, int dpi) {
  TImageRect::ChangeScale(from, dpi);
  animateTop_ = scaledFields_.ScaleTo(animateTop_, from, dpi);
  animateRightOffset_ = scaledFields_.ScaleTo(animateRightOffset_, from, dpi);
}

void TImageProgress::LayoutAfterScaling() {
  TImageRect::LayoutAfterScaling();
  // The foreground's items take their widths from the new pictures.
  SetPosition(position_);
}

}  // namespace skin
