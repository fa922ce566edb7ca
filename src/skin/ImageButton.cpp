#include "skin/ImageButton.h"

#include <windows.h>

#include <algorithm>
#include <concepts>

#include "skin/FocusRing.h"
#include "ui/Canvas.h"
#include "ui/WinControl.h"

namespace skin {

using ui::TCanvas;
using ui::TPicture;
using ui::TRect;

namespace {

// What the caption's alignment asks of DrawTextW.
UINT AlignmentFlag(ui::TAlignment alignment) {
  switch (alignment) {
    case ui::taLeftJustify:
      return DT_LEFT;
    case ui::taRightJustify:
      return DT_RIGHT;
    default:
      return DT_CENTER;
  }
}

// The corners of the skin's button pictures.
constexpr int kButtonCornerRadius = 6;
// A link's ring keeps two pixels of room around its caption's letters, the
// underline included.
constexpr int kCaptionRingMargin = kFocusRingReach + 2;
constexpr int kCaptionRingRadius = 4;

// Draws into a copy: DrawTextW may write the rectangle back.
void DrawText(TCanvas& canvas, const std::wstring& text, TRect rect, UINT flags) {
  canvas.DrawTextW(text, rect, flags);
}

}  // namespace

template <typename T>
void TImageButton::Change(T& field, const T& value, TShow show) {
  if constexpr (std::equality_comparable<T>) {
    if (field == value) return;
  }
  field = value;
  switch (show) {
    case TShow::kNow:
      Repaint();
      break;
    case TShow::kNextPaint:
      Invalidate();
      break;
    case TShow::kUnseen:
      break;
  }
}

TImageButton::TImageButton(ui::TComponent* owner) : ui::TGraphicControl(owner) {
  SetBounds(0, 0, 23, 23);
  SetTabStop(true);
  SetAccessibleRole(ui::arPushButton);
}

TImageButton::~TImageButton() = default;

void TImageButton::SetButtonState(TImageButtonState state) {
  if (state == ibsSelected) Change(mouseOver_, false, TShow::kNextPaint);
  Change(state_, state, TShow::kNextPaint);
}

void TImageButton::SetMouseOver(bool over) {
  Change(mouseOver_, over, TShow::kNextPaint);
}

void TImageButton::SetKeyPressed(bool pressed) {
  Change(keyPressed_, pressed, TShow::kNextPaint);
}

void TImageButton::KeyboardPress(bool pressed) {
  SetKeyPressed(pressed);
  ui::TGraphicControl::KeyboardPress(pressed);
}

void TImageButton::SetImageNormal(const TPicture& picture) {
  Change(imageNormal_, picture, TShow::kNow);
}

void TImageButton::SetImageDown(const TPicture& picture) {
  Change(imageDown_, picture, TShow::kNow);
}

void TImageButton::SetImageOver(const TPicture& picture) {
  Change(imageOver_, picture, TShow::kNow);
}

void TImageButton::SetImageDisabled(const TPicture& picture) {
  // Only a disabled button shows it.
  Change(imageDisabled_, picture, Enabled() ? TShow::kUnseen : TShow::kNextPaint);
}

void TImageButton::SetImageSelected(const TPicture& picture) {
  Change(imageSelected_, picture, TShow::kUnseen);
}

void TImageButton::SetExpand(bool on) {
  Change(expand_, on, TShow::kNextPaint);
}

void TImageButton::SetExpandImage(const TPicture& picture) {
  Change(expandImage_, picture, TShow::kNow);
}

void TImageButton::SetButtonCaptionALignment(ui::TAlignment alignment) {
  Change(captionAlignment_, alignment, TShow::kNextPaint);
}

void TImageButton::SetTextOffset(int offset) {
  Change(textOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetTextTopOffset(int offset) {
  Change(textTopOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetDisabledFontColor(ui::TColor color) {
  Change(disabledFontColor_, color, TShow::kNextPaint);
}

void TImageButton::SetCaptionIcon(const TPicture& picture) {
  Change(captionIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetCaptionIconVisible(bool on) {
  Change(captionIconVisible_, on, TShow::kNextPaint);
}

void TImageButton::SetCaptionDesc(const std::wstring& text) {
  Change(captionDesc_, text, TShow::kUnseen);
}

void TImageButton::SetCaptionDescWidth(int width) {
  Change(captionDescWidth_, width, TShow::kUnseen);
}

void TImageButton::SetCaptionDescFont(const ui::TFont& font) {
  Change(captionDescFont_, font, TShow::kUnseen);
}

void TImageButton::SetCaptionDescVisible(bool on) {
  Change(captionDescVisible_, on, TShow::kNextPaint);
}

void TImageButton::SetCaptionDescTopOffset(int offset) {
  Change(captionDescTopOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetUpNormalIcon(const TPicture& picture) {
  Change(upNormalIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetUpDownIcon(const TPicture& picture) {
  Change(upDownIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetUpHoverIcon(const TPicture& picture) {
  Change(upHoverIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetDnNormalIcon(const TPicture& picture) {
  Change(dnNormalIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetDnDownIcon(const TPicture& picture) {
  Change(dnDownIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetDnHoverIcon(const TPicture& picture) {
  Change(dnHoverIcon_, picture, TShow::kNextPaint);
}

void TImageButton::SetIconOffset(int offset) {
  Change(iconOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetIconVisible(bool on) {
  Change(iconVisible_, on, TShow::kNextPaint);
}

void TImageButton::SetIconAlign(ui::TAlignment alignment) {
  Change(iconAlign_, alignment, TShow::kUnseen);
}

void TImageButton::SetShowCheckBox(bool on) {
  Change(showCheckBox_, on, TShow::kNextPaint);
}

void TImageButton::SetChecked(bool on) {
  Change(checked_, on, TShow::kNextPaint);
}

void TImageButton::SetCheckBoxNormalImage(const TPicture& picture) {
  Change(checkBoxNormalImage_, picture, TShow::kNow);
}

void TImageButton::SetCheckBoxCheckedImage(const TPicture& picture) {
  Change(checkBoxCheckedImage_, picture, TShow::kNow);
}

void TImageButton::SetCheckBoxOffset(int offset) {
  Change(checkBoxOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetSubCaption(const std::wstring& text) {
  Change(subCaption_, text, TShow::kNextPaint);
}

void TImageButton::SetSubCaptionOffset(int offset) {
  Change(subCaptionOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetSubCaptionTopOffset(int offset) {
  Change(subCaptionTopOffset_, offset, TShow::kUnseen);
}

void TImageButton::SetSubCaptionFont(const ui::TFont& font) {
  Change(subCaptionFont_, font, TShow::kNextPaint);
}

void TImageButton::SetSubCaptionData(const std::wstring& text) {
  Change(subCaptionData_, text, TShow::kNextPaint);
}

void TImageButton::SetSubCaptionDataFont(const ui::TFont& font) {
  Change(subCaptionDataFont_, font, TShow::kNextPaint);
}

void TImageButton::SetProImage(const TPicture& picture) {
  Change(proImage_, picture, TShow::kNextPaint);
}

void TImageButton::SetProImageTopOffset(int offset) {
  Change(proImageTopOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetRiskRate(int rate) {
  // A layout stores the rate before its maximum: cut it once both are read.
  Change(riskRate_, IsLoading() ? rate : std::min(rate, riskRateMax_), TShow::kNextPaint);
}

void TImageButton::Loaded() {
  riskRate_ = std::min(riskRate_, riskRateMax_);
}

void TImageButton::SetRiskRateMax(int rate) {
  Change(riskRateMax_, rate, TShow::kNextPaint);
}

void TImageButton::SetRiskRateVisible(bool on) {
  Change(riskRateVisible_, on, TShow::kNextPaint);
}

void TImageButton::SetRiskRateBg(const TPicture& picture) {
  Change(riskRateBg_, picture, TShow::kNextPaint);
}

void TImageButton::SetRiskRateImage(const TPicture& picture) {
  Change(riskRateImage_, picture, TShow::kNextPaint);
}

void TImageButton::SetRiskRateArrow(const TPicture& picture) {
  Change(riskRateArrow_, picture, TShow::kNextPaint);
}

void TImageButton::SetRiskRateOffset(int offset) {
  Change(riskRateOffset_, offset, TShow::kNextPaint);
}

void TImageButton::SetRiskRateArrowTop(int top) {
  Change(riskRateArrowTop_, top, TShow::kNextPaint);
}

void TImageButton::SetRiskRateMin(const std::wstring& text) {
  Change(riskRateMin_, text, TShow::kNextPaint);
}

void TImageButton::SetRiskRateMid(const std::wstring& text) {
  Change(riskRateMid_, text, TShow::kNextPaint);
}

void TImageButton::SetRiskRateHig(const std::wstring& text) {
  Change(riskRateHig_, text, TShow::kNextPaint);
}

void TImageButton::SetRiskRateMinFont(const ui::TFont& font) {
  Change(riskRateMinFont_, font, TShow::kUnseen);
}

void TImageButton::SetRiskRateMidFont(const ui::TFont& font) {
  Change(riskRateMidFont_, font, TShow::kUnseen);
}

void TImageButton::SetRiskRateHigFont(const ui::TFont& font) {
  Change(riskRateHigFont_, font, TShow::kUnseen);
}

bool TImageButton::IconHitTest(int x, int y) const {
  if (!iconVisible_) return false;
  const TRect icon{Width() - upNormalIcon_.Width(), (Height() - upNormalIcon_.Height()) / 2,
                   Width(), Height()};
  return icon.Contains({x, y});
}

bool TImageButton::CheckBoxHitTest(int x, int y) const {
  const TPicture& box = checkBoxNormalImage_;
  const int d = Height() / 2 - box.Height() / 2;
  const TRect area{checkBoxOffset_, d, checkBoxOffset_ + box.Width(), Height() - d};
  return area.Contains({x, y});
}

// The first match wins: pressed by the mouse needs the pointer on the button
// as well, so dragging out of a pressed button shows it released.
const TPicture& TImageButton::Background() const {
  if (((state_ == ibsDown && mouseOver_) || keyPressed_) && !imageDown_.Empty()) return imageDown_;
  if (mouseOver_ && !imageOver_.Empty() && Enabled()) return imageOver_;
  if (state_ == ibsDisabled && !imageDisabled_.Empty()) return imageDisabled_;
  if (state_ == ibsSelected && !imageSelected_.Empty()) return imageSelected_;
  if (expand_ && !expandImage_.Empty()) return expandImage_;
  return imageNormal_;
}

void TImageButton::Paint(TCanvas& canvas) {
  canvas.SetFont(Font());
  TRect r = ClientRect();
  canvas.StretchDraw(r, Background());
  if (state_ == ibsDisabled) canvas.SetFontColor(disabledFontColor_);

  const UINT align = AlignmentFlag(captionAlignment_);
  if (captionAlignment_ == ui::taLeftJustify) r.Left += textOffset_;
  if (captionAlignment_ == ui::taRightJustify) r.Right -= textOffset_;
  PaintCaptionIcon(canvas);
  if (!dnNormalIcon_.Empty()) {
    if (captionAlignment_ == ui::taLeftJustify) r.Right -= dnNormalIcon_.Width();
    if (captionAlignment_ == ui::taRightJustify) r.Right -= dnNormalIcon_.Width() / 2;
  }

  TRect desc = r;
  r.Top += textTopOffset_;
  desc.Top += desc.Height() / 2;
  desc.Right = desc.Left + captionDescWidth_;
  canvas.SetTransparentText(true);

  // One line centred when it fits; otherwise wrapped from the top, where a
  // negative top offset would hide the first line.
  if (canvas.TextWidth(Caption()) < r.Width()) {
    DrawText(canvas, Caption(), r, align | DT_VCENTER | DT_SINGLELINE);
  } else {
    r.Top = std::max(r.Top, 0);
    DrawText(canvas, Caption(), r, align | DT_WORDBREAK | DT_EDITCONTROL | DT_VCENTER);
  }

  if (captionDescVisible_) {
    desc.Top += captionDescTopOffset_;
    const ui::TFont saved = canvas.Font();
    canvas.SetFont(captionDescFont_);
    DrawText(canvas, captionDesc_, desc, align | DT_WORDBREAK | DT_EDITCONTROL | DT_VCENTER);
    canvas.SetFont(saved);
  }

  if (!proImage_.Empty()) {
    canvas.Draw(r.Right - 50, Height() / 2 - proImage_.Height() / 2 + proImageTopOffset_,
                proImage_);
  }

  r.Left = 0;
  r.Right = Width() + subCaptionOffset_;
  if (subCaptionTopOffset_ != 0) r.Top -= textTopOffset_;
  const UINT subFlags = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
  if (!subCaption_.empty()) {
    const ui::TFont saved = canvas.Font();
    canvas.SetFont(subCaptionFont_);
    DrawText(canvas, subCaption_, r, subFlags);
    canvas.SetFont(saved);
  }
  if (!subCaptionData_.empty()) {
    const ui::TFont saved = canvas.Font();
    canvas.SetFont(subCaptionDataFont_);
    r.Right -= canvas.TextWidth(subCaption_);
    DrawText(canvas, subCaptionData_, r, subFlags);
    canvas.SetFont(saved);
  }

  const TPicture* icons[] = {useDnIcons_ ? &dnNormalIcon_ : &upNormalIcon_,
                             useDnIcons_ ? &dnDownIcon_ : &upDownIcon_,
                             useDnIcons_ ? &dnHoverIcon_ : &upHoverIcon_};
  PaintIcon(canvas, *icons[std::clamp(iconState_, 0, 2)]);
  if (showCheckBox_) PaintCheckBox(canvas);
  if (riskRateVisible_) PaintRiskRate(canvas);
}

TRect TImageButton::FocusCueArea() const {
  const int reach = ui::ScaleValue(std::max(kFocusRingReach, kCaptionRingMargin), Dpi());
  return {-reach, -reach, Width() + reach, Height() + reach};
}

void TImageButton::PaintFocusCue(TCanvas& canvas) {
  // The ring's measures are pixels at 96 dpi, like the button's pictures.
  const auto px = [this](int value) { return ui::ScaleValue(value, Dpi()); };
  const int thickness = px(kFocusRingThickness);
  const int reach = px(kFocusRingReach);
  if (imageNormal_.Empty()) {
    canvas.SetFont(Font());
    const int textWidth = std::min(canvas.TextWidth(Caption()), Width());
    const int textHeight = canvas.TextHeight(Caption());
    int left = (Width() - textWidth) / 2;
    if (captionAlignment_ == ui::taLeftJustify) left = textOffset_;
    if (captionAlignment_ == ui::taRightJustify) left = Width() - textOffset_ - textWidth;
    const int top = (Height() - textHeight) / 2;
    const int margin = px(kCaptionRingMargin);
    PaintFocusRing(
        canvas, {left - margin, top - margin, left + textWidth + margin, top + textHeight + margin},
        px(kCaptionRingRadius), thickness);
    return;
  }
  const TRect around{-reach, -reach, Width() + reach, Height() + reach};
  const TRect room = Parent() != nullptr ? Parent()->ClientRect() : ClientRect();
  const bool fits = Left() + around.Left >= room.Left && Top() + around.Top >= room.Top &&
                    Left() + around.Right <= room.Right && Top() + around.Bottom <= room.Bottom;
  if (fits) {
    PaintFocusRing(canvas, around, px(kButtonCornerRadius + kFocusRingReach), thickness);
  } else {
    const int inset = px(1);
    PaintFocusRing(canvas, {inset, inset, Width() - inset, Height() - inset},
                   px(kButtonCornerRadius - 1), thickness);
  }
}

void TImageButton::PaintCaptionIcon(TCanvas& canvas) {
  const TPicture& icon = captionIcon_;
  if (!captionIconVisible_ || icon.Empty()) return;
  const int pw = icon.Width();
  const int ph = icon.Height();
  const int w = Width();
  int left = 0;
  int right = 0;
  switch (captionAlignment_) {
    case ui::taRightJustify: {
      const int tw = canvas.TextWidth(Caption());
      left = w - tw - pw - textOffset_;
      right = w - tw - textOffset_;
      break;
    }
    case ui::taLeftJustify:
      left = textOffset_ - pw - 10;
      right = textOffset_ - 10;
      break;
    default:
      left = w / 2 - pw / 2 - textOffset_ - pw - 10;
      right = w / 2 - pw / 2 - textOffset_ + pw + 10;
      break;
  }
  const int top = (Height() - ph) / 2;
  canvas.StretchDraw({left, top, right, top + ph}, icon);
}

void TImageButton::PaintIcon(TCanvas& canvas, const TPicture& icon) {
  if (!iconVisible_) return;
  const TPicture& fallback = useDnIcons_ ? dnNormalIcon_ : upNormalIcon_;
  const TPicture& shown = icon.Empty() ? fallback : icon;
  if (shown.Empty()) return;
  const int pw = shown.Width();
  int left = 0;
  switch (iconAlign_) {
    case ui::taRightJustify:
      left = Width() - iconOffset_ - pw;
      break;
    case ui::taLeftJustify:
      left = iconOffset_;
      break;
    default:
      left = Width() / 2 - pw / 2 - iconOffset_;
      break;
  }
  canvas.Draw(left, (Height() - shown.Height()) / 2, shown);
}

void TImageButton::PaintCheckBox(TCanvas& canvas) {
  const TPicture& box = checked_ ? checkBoxCheckedImage_ : checkBoxNormalImage_;
  if (box.Width() < 1 || box.Height() < 1) return;
  canvas.Draw(checkBoxOffset_, Height() / 2 - box.Height() / 2, box);
}

void TImageButton::PaintRiskRate(TCanvas& canvas) {
  const TPicture& bg = riskRateBg_;
  const TPicture& img = riskRateImage_;
  if (bg.Width() < 1 || img.Width() < 1) return;
  const int gaugeLeft = Width() - bg.Width() - riskRateOffset_;
  const int gaugeTop = Height() / 2 - bg.Height() / 2;
  canvas.StretchDraw(ui::Bounds(gaugeLeft, gaugeTop, bg.Width(), bg.Height()), bg);
  const int textLeft = Width() - riskRateOffset_ + 5;

  // Levels other than 1, 2, 3 and the maximum have no arrow place of their
  // own; they point at the gauge's start.
  int arrowOffset = 0;
  if (riskRate_ == riskRateMax_) {
    arrowOffset = bg.Width() - 10;
  } else if (riskRate_ == 2) {
    arrowOffset = img.Width() / 2;
  } else if (riskRate_ == 3) {
    arrowOffset = 10;
  } else if (riskRate_ == 1) {
    arrowOffset = 5;
  }
  const TPicture& arrow = riskRateArrow_;
  canvas.Draw(gaugeLeft - arrow.Width() / 2 + arrowOffset,
              gaugeTop - arrow.Height() + riskRateArrowTop_, arrow);

  const std::wstring* text = nullptr;
  const ui::TFont* font = nullptr;
  switch (riskRate_) {
    case 1:
      text = &riskRateMin_;
      font = &riskRateMinFont_;
      break;
    case 2:
      text = &riskRateMid_;
      font = &riskRateMidFont_;
      break;
    case 3:
      text = &riskRateHig_;
      font = &riskRateHigFont_;
      break;
    default:
      return;
  }
  const ui::TFont saved = canvas.Font();
  canvas.SetFont(*font);
  const int h = canvas.TextHeight(riskRateMin_);
  const int top = Height() / 2 - (h + 4) / 2;
  DrawText(canvas, *text, ui::Bounds(textLeft, top, canvas.TextWidth(*text), h),
           DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  canvas.SetFont(saved);
}

void TImageButton::MouseEnter() {
  if (!Enabled()) return;
  const ui::TComponentGuard alive(*this);
  if (OnMouseEnter) OnMouseEnter(*this);
  if (!alive.Alive()) return;
  mouseOver_ = state_ != ibsSelected;
  Invalidate();
}

void TImageButton::MouseLeave() {
  if (Enabled()) {
    const ui::TComponentGuard alive(*this);
    if (OnMouseExit) OnMouseExit(*this);
    if (!alive.Alive()) return;
    if (state_ != ibsSelected) mouseOver_ = false;
    Invalidate();
  }
  ui::TGraphicControl::MouseLeave();
}

bool TImageButton::PreviewLeftButtonDown(int x, int y) {
  if (!showCheckBox_ || !CheckBoxHitTest(x, y)) return false;
  checked_ = !checked_;
  const ui::TComponentGuard alive(*this);
  if (CheckBoxOnClick) CheckBoxOnClick(*this);
  if (alive.Alive()) Invalidate();
  return true;
}

void TImageButton::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (state_ == ibsSelected) return;
  if (state_ == ibsNormal && button == ui::mbLeft) SetButtonState(ibsDown);
  ui::TGraphicControl::MouseDown(button, shift, x, y);
}

void TImageButton::MouseMove(ui::TShiftState shift, int x, int y) {
  if (state_ == ibsSelected) return;
  // A held press never turns the hover look on by itself: only entry does.
  if (ClientRect().Contains({x, y}) && !mouseOver_ && state_ != ibsDown) {
    mouseOver_ = true;
    Invalidate();
  }
  iconState_ = IconHitTest(x, y) ? kIconHover : kIconNormal;
  ui::TGraphicControl::MouseMove(shift, x, y);
}

void TImageButton::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (state_ == ibsSelected) return;
  if (state_ == ibsDown) SetButtonState(ibsNormal);
  iconState_ = IconHitTest(x, y) ? kIconDown : kIconNormal;
  ui::TGraphicControl::MouseUp(button, shift, x, y);
}

void TImageButton::Click() {
  if (state_ == ibsDown) SetButtonState(ibsNormal);
  ui::TGraphicControl::Click();
}

void TImageButton::EnabledChanged() {
  SetButtonState(Enabled() ? ibsNormal : ibsDisabled);
  ui::TGraphicControl::EnabledChanged();
}

}  // namespace skin
