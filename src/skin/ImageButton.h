// A button drawn entirely from pictures, without a window of its own: the
// parent's pixels show through wherever its pictures are transparent. It
// paints a background picture chosen by its state (normal, pressed, hover,
// disabled, selected, expanded), its caption on top, and optionally a
// caption icon, a descriptive text, two right-aligned sub-captions, an extra
// picture, a side icon, a check box and a risk-rate gauge.
//
// The button owns every picture and font it holds: setters copy the value
// in, getters hand out the button's own object. Every setter goes through
// Change, which says how the new value shows: a new background or check box
// picture at once, most others at the next paint, and a few (the
// descriptive text and its font, the selected picture, the icon's
// alignment, the gauge's fonts) only when something else repaints the
// button. Setting the value a property already has changes nothing.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Control.h"
#include "ui/Picture.h"

namespace skin {

enum TImageButtonState : std::uint8_t {
  ibsNormal,
  ibsDown,  // pressed
  ibsDisabled,
  ibsSelected,  // latched: the mouse no longer changes it
};

// Which picture of the side-icon set shows.
inline constexpr int kIconNormal = 0;
inline constexpr int kIconDown = 1;
inline constexpr int kIconHover = 2;

class TImageButton : public ui::TGraphicControl {
 public:
  explicit TImageButton(ui::TComponent* owner = nullptr);
  ~TImageButton() override;
  std::wstring_view ClassName() const override { return L"TImageButton"; }

  // Run-time state, never read from a layout.
  TImageButtonState ButtonState() const { return state_; }
  // Selecting also drops the hover look.
  void SetButtonState(TImageButtonState state);
  bool MouseOver() const { return mouseOver_; }
  void SetMouseOver(bool over);
  // Pressed by the keyboard: the pressed picture shows wherever the
  // pointer is. The keyboard's press of a focused button sets it.
  bool KeyPressed() const { return keyPressed_; }
  void SetKeyPressed(bool pressed);
  int IconState() const { return iconState_; }
  bool UseDnIcons() const { return useDnIcons_; }
  void SetUseDnIcons(bool on) { useDnIcons_ = on; }

  // Background pictures. Repainted at once, except the disabled one, which
  // shows at the next paint and only matters while the button is disabled,
  // and the selected one, which waits for the next state change.
  ui::TPicture& ImageNormal() { return imageNormal_; }
  void SetImageNormal(const ui::TPicture& picture);
  ui::TPicture& ImageDown() { return imageDown_; }
  void SetImageDown(const ui::TPicture& picture);
  ui::TPicture& ImageOver() { return imageOver_; }
  void SetImageOver(const ui::TPicture& picture);
  ui::TPicture& ImageDisabled() { return imageDisabled_; }
  void SetImageDisabled(const ui::TPicture& picture);
  ui::TPicture& ImageSelected() { return imageSelected_; }
  void SetImageSelected(const ui::TPicture& picture);
  bool Expand() const { return expand_; }
  void SetExpand(bool on);
  ui::TPicture& ExpandImage() { return expandImage_; }
  void SetExpandImage(const ui::TPicture& picture);

  // The caption (Caption and Font are the base control's).
  ui::TAlignment ButtonCaptionALignment() const { return captionAlignment_; }
  void SetButtonCaptionALignment(ui::TAlignment alignment);
  // Inset of a left- or right-aligned caption from its side.
  int TextOffset() const { return textOffset_; }
  void SetTextOffset(int offset);
  int TextTopOffset() const { return textTopOffset_; }
  void SetTextTopOffset(int offset);
  // The caption's colour while disabled.
  ui::TColor DisabledFontColor() const { return disabledFontColor_; }
  void SetDisabledFontColor(ui::TColor color);
  ui::TPicture& CaptionIcon() { return captionIcon_; }
  void SetCaptionIcon(const ui::TPicture& picture);
  bool CaptionIconVisible() const { return captionIconVisible_; }
  void SetCaptionIconVisible(bool on);

  // The descriptive text below the caption's middle.
  const std::wstring& CaptionDesc() const { return captionDesc_; }
  void SetCaptionDesc(const std::wstring& text);
  int CaptionDescWidth() const { return captionDescWidth_; }
  void SetCaptionDescWidth(int width);
  ui::TFont& CaptionDescFont() { return captionDescFont_; }
  void SetCaptionDescFont(const ui::TFont& font);
  bool CaptionDescVisible() const { return captionDescVisible_; }
  void SetCaptionDescVisible(bool on);
  int CaptionDescTopOffset() const { return captionDescTopOffset_; }
  void SetCaptionDescTopOffset(int offset);

  // The side icon: an Up and a Dn set, each normal, down and hover.
  ui::TPicture& UpNormalIcon() { return upNormalIcon_; }
  void SetUpNormalIcon(const ui::TPicture& picture);
  ui::TPicture& UpDownIcon() { return upDownIcon_; }
  void SetUpDownIcon(const ui::TPicture& picture);
  ui::TPicture& UpHoverIcon() { return upHoverIcon_; }
  void SetUpHoverIcon(const ui::TPicture& picture);
  ui::TPicture& DnNormalIcon() { return dnNormalIcon_; }
  void SetDnNormalIcon(const ui::TPicture& picture);
  ui::TPicture& DnDownIcon() { return dnDownIcon_; }
  void SetDnDownIcon(const ui::TPicture& picture);
  ui::TPicture& DnHoverIcon() { return dnHoverIcon_; }
  void SetDnHoverIcon(const ui::TPicture& picture);
  int IconOffset() const { return iconOffset_; }
  void SetIconOffset(int offset);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool on);
  ui::TAlignment IconAlign() const { return iconAlign_; }
  void SetIconAlign(ui::TAlignment alignment);

  // The check box at the left; a press on it toggles Checked instead of
  // pressing the button.
  bool ShowCheckBox() const { return showCheckBox_; }
  void SetShowCheckBox(bool on);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  ui::TPicture& CheckBoxNormalImage() { return checkBoxNormalImage_; }
  void SetCheckBoxNormalImage(const ui::TPicture& picture);
  ui::TPicture& CheckBoxCheckedImage() { return checkBoxCheckedImage_; }
  void SetCheckBoxCheckedImage(const ui::TPicture& picture);
  int CheckBoxOffset() const { return checkBoxOffset_; }
  void SetCheckBoxOffset(int offset);

  // Two right-aligned texts, the data just left of the sub-caption.
  const std::wstring& SubCaption() const { return subCaption_; }
  void SetSubCaption(const std::wstring& text);
  int SubCaptionOffset() const { return subCaptionOffset_; }
  void SetSubCaptionOffset(int offset);
  // Only whether it is zero matters: non-zero makes the sub-captions
  // ignore TextTopOffset.
  int SubCaptionTopOffset() const { return subCaptionTopOffset_; }
  void SetSubCaptionTopOffset(int offset);
  ui::TFont& SubCaptionFont() { return subCaptionFont_; }
  void SetSubCaptionFont(const ui::TFont& font);
  const std::wstring& SubCaptionData() const { return subCaptionData_; }
  void SetSubCaptionData(const std::wstring& text);
  ui::TFont& SubCaptionDataFont() { return subCaptionDataFont_; }
  void SetSubCaptionDataFont(const ui::TFont& font);

  // An extra picture left of the right edge.
  ui::TPicture& ProImage() { return proImage_; }
  void SetProImage(const ui::TPicture& picture);
  int ProImageTopOffset() const { return proImageTopOffset_; }
  void SetProImageTopOffset(int offset);

  // A gauge at the right edge with an arrow and a level text.
  int RiskRate() const { return riskRate_; }
  // Stored as at most RiskRateMax.
  void SetRiskRate(int rate);
  int RiskRateMax() const { return riskRateMax_; }
  // Leaves RiskRate as it is.
  void SetRiskRateMax(int rate);
  bool RiskRateVisible() const { return riskRateVisible_; }
  void SetRiskRateVisible(bool on);
  ui::TPicture& RiskRateBg() { return riskRateBg_; }
  void SetRiskRateBg(const ui::TPicture& picture);
  ui::TPicture& RiskRateImage() { return riskRateImage_; }
  void SetRiskRateImage(const ui::TPicture& picture);
  ui::TPicture& RiskRateArrow() { return riskRateArrow_; }
  void SetRiskRateArrow(const ui::TPicture& picture);
  int RiskRateOffset() const { return riskRateOffset_; }
  void SetRiskRateOffset(int offset);
  int RiskRateArrowTop() const { return riskRateArrowTop_; }
  void SetRiskRateArrowTop(int top);
  const std::wstring& RiskRateMin() const { return riskRateMin_; }
  void SetRiskRateMin(const std::wstring& text);
  const std::wstring& RiskRateMid() const { return riskRateMid_; }
  void SetRiskRateMid(const std::wstring& text);
  const std::wstring& RiskRateHig() const { return riskRateHig_; }
  void SetRiskRateHig(const std::wstring& text);
  ui::TFont& RiskRateMinFont() { return riskRateMinFont_; }
  void SetRiskRateMinFont(const ui::TFont& font);
  ui::TFont& RiskRateMidFont() { return riskRateMidFont_; }
  void SetRiskRateMidFont(const ui::TFont& font);
  ui::TFont& RiskRateHigFont() { return riskRateHigFont_; }
  void SetRiskRateHigFont(const ui::TFont& font);

  // Mouse entry and exit while enabled (OnMouseEnter is the base's).
  ui::TNotifyEvent OnMouseExit;
  ui::TNotifyEvent CheckBoxOnClick;

  // In client coordinates.
  bool IconHitTest(int x, int y) const;
  bool CheckBoxHitTest(int x, int y) const;

  void Paint(ui::TCanvas& canvas) override;
  // The offsets and the extra fonts follow the scale too (Scaling.cpp).
  void ChangeScale(int from, int dpi) override;
  // The skin's focus ring: around a picture button, or just inside it where
  // its container has no room around it (a button at the window's edge);
  // around the caption of a button that has no pictures (a link).
  ui::TRect FocusCueArea() const override;
  void PaintFocusCue(ui::TCanvas& canvas) override;

 protected:
  void KeyboardPress(bool pressed) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool PreviewLeftButtonDown(int x, int y) override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void Click() override;
  void EnabledChanged() override;
  void Loaded() override;

 private:
  // How a changed property shows on screen.
  enum class TShow : std::uint8_t {
    kNow,        // painted at once
    kNextPaint,  // asked for with the next paint
    kUnseen,     // waits until something else repaints the button
  };
  // Stores a property's new value and shows it as `show` says; a value
  // equal to the old one changes nothing.
  template <typename T>
  void Change(T& field, const T& value, TShow show);

  const ui::TPicture& Background() const;
  void PaintCaptionIcon(ui::TCanvas& canvas);
  void PaintIcon(ui::TCanvas& canvas, const ui::TPicture& icon);
  void PaintCheckBox(ui::TCanvas& canvas);
  void PaintRiskRate(ui::TCanvas& canvas);

  TImageButtonState state_ = ibsNormal;
  bool mouseOver_ = false;
  bool keyPressed_ = false;
  int iconState_ = kIconNormal;
  bool useDnIcons_ = false;

  ui::TPicture imageNormal_, imageDown_, imageOver_, imageDisabled_, imageSelected_;
  bool expand_ = false;
  ui::TPicture expandImage_;

  ui::TAlignment captionAlignment_ = ui::taCenter;
  int textOffset_ = 20;
  int textTopOffset_ = 0;
  ui::TColor disabledFontColor_ = ui::cl3DDkShadow;
  ui::TPicture captionIcon_;
  bool captionIconVisible_ = false;

  std::wstring captionDesc_;
  int captionDescWidth_ = 0;
  ui::TFont captionDescFont_;
  bool captionDescVisible_ = false;
  int captionDescTopOffset_ = 0;

  ui::TPicture upNormalIcon_, upDownIcon_, upHoverIcon_;
  ui::TPicture dnNormalIcon_, dnDownIcon_, dnHoverIcon_;
  int iconOffset_ = 10;
  bool iconVisible_ = true;
  ui::TAlignment iconAlign_ = ui::taRightJustify;

  bool showCheckBox_ = false;
  bool checked_ = false;
  ui::TPicture checkBoxNormalImage_, checkBoxCheckedImage_;
  int checkBoxOffset_ = 10;

  std::wstring subCaption_;
  int subCaptionOffset_ = 50;
  int subCaptionTopOffset_ = 0;
  ui::TFont subCaptionFont_;
  std::wstring subCaptionData_;
  ui::TFont subCaptionDataFont_;

  ui::TPicture proImage_;
  int proImageTopOffset_ = 0;

  int riskRate_ = 0;
  int riskRateMax_ = 5;
  bool riskRateVisible_ = false;
  ui::TPicture riskRateBg_, riskRateImage_, riskRateArrow_;
  int riskRateOffset_ = 0;
  int riskRateArrowTop_ = 0;
  std::wstring riskRateMin_ = L"Good";
  std::wstring riskRateMid_ = L"Medium";
  std::wstring riskRateHig_ = L"Bad";
  ui::TFont riskRateMinFont_, riskRateMidFont_, riskRateHigFont_;

  ui::TScaledFields scaledFields_;
};

}  // namespace skin
