#include "skin/SkinLayoutClasses.h"

#include "skin/FormBorder.h"
#include "skin/ImageButton.h"
#include "skin/ImageNote.h"
#include "skin/ImageProgress.h"
#include "skin/ImageRect.h"
#include "skin/LabelNote.h"
#include "skin/TransparentLabel.h"
#include "ui/LayoutReader.h"

namespace ui {

template <>
struct TLayoutEnum<skin::TBorderType> {
  static const TEnumNames& Names() {
    static const TEnumNames names = {{L"btHeader", skin::btHeader},
                                     {L"btFooter", skin::btFooter},
                                     {L"btLefter", skin::btLefter},
                                     {L"btRighter", skin::btRighter}};
    return names;
  }
};

}  // namespace ui

namespace skin {

namespace {

using ui::ItemSetter;
using ui::RegisterItemProperty;
using ui::RegisterLayoutClass;
using ui::RegisterLayoutProperty;
using ui::Setter;
using ui::TComponent;
using ui::TLayoutContext;
using ui::TLayoutValue;

// A writer that fills the collection `items` of a control of class T.
template <typename T, typename Collection>
ui::TPropertyWriter Items(Collection& (T::*items)()) {
  return [items](TComponent& t, const TLayoutValue& v, const TLayoutContext& context) {
    ui::ReadCollection((dynamic_cast<T&>(t).*items)(), v, context);
  };
}

void RegisterImageRect() {
  RegisterLayoutClass(L"TImageRect", L"TCustomControl", ui::Factory<TImageRect>());
  RegisterLayoutProperty(L"TImageRect", L"Items", Items(&TImageRect::Items));
  // The control's own alignment is published under this spelling.
  RegisterLayoutProperty(L"TImageRect", L"align", Setter(&TImageRect::SetAlign));

  const std::wstring item = L"TImageItem";
  RegisterItemProperty(item, L"Name", ItemSetter(&TImageItem::SetName));
  RegisterItemProperty(item, L"Picture", ItemSetter(&TImageItem::SetPicture));
  RegisterItemProperty(item, L"Top", ItemSetter(&TImageItem::SetTop));
  RegisterItemProperty(item, L"Left", ItemSetter(&TImageItem::SetLeft));
  RegisterItemProperty(item, L"Width", ItemSetter(&TImageItem::SetWidth));
  RegisterItemProperty(item, L"Height", ItemSetter(&TImageItem::SetHeight));
  RegisterItemProperty(item, L"Stretch", ItemSetter(&TImageItem::SetStretch));
  RegisterItemProperty(item, L"Visible", ItemSetter(&TImageItem::SetVisible));
  RegisterItemProperty(item, L"Align", ItemSetter(&TImageItem::SetAlign));
}

void RegisterImageProgress() {
  const std::wstring c = L"TImageProgress";
  RegisterLayoutClass(c, L"TImageRect", ui::Factory<TImageProgress>());
  RegisterLayoutProperty(c, L"Max", Setter(&TImageProgress::SetMax));
  RegisterLayoutProperty(c, L"Min", Setter(&TImageProgress::SetMin));
  RegisterLayoutProperty(c, L"Position", Setter(&TImageProgress::SetPosition));
  // Published in lower case: it lays the bar out once it shows.
  RegisterLayoutProperty(c, L"visible", Setter(&TImageProgress::SetVisible));
  RegisterLayoutProperty(c, L"OpenAnimate", Setter(&TImageProgress::SetOpenAnimate));
  RegisterLayoutProperty(c, L"MoveImage", Setter(&TImageProgress::SetMoveImage));
  RegisterLayoutProperty(c, L"AnimateTop", Setter(&TImageProgress::SetAnimateTop));
  RegisterLayoutProperty(c, L"AlwaysAnimate", Setter(&TImageProgress::SetAlwaysAnimate));
  RegisterLayoutProperty(c, L"AnimateRightOffset", Setter(&TImageProgress::SetAnimateRightOffset));
}

void RegisterNotes() {
  RegisterLayoutClass(L"TImageNote", L"TImage", ui::Factory<TImageNote>());
  RegisterLayoutProperty(L"TImageNote", L"Items", Items(&TImageNote::Items));
  RegisterLayoutProperty(L"TImageNote", L"ImageIndex", Setter(&TImageNote::SetImageIndex));
  RegisterLayoutProperty(L"TImageNote", L"Locked", Setter(&TImageNote::SetLocked));
  RegisterItemProperty(L"TPictureItem", L"Name", ItemSetter(&TPictureItem::SetName));
  RegisterItemProperty(L"TPictureItem", L"Picture", ItemSetter(&TPictureItem::SetPicture));

  RegisterLayoutClass(L"TLabelNote", L"TLabel", ui::Factory<TLabelNote>());
  RegisterLayoutProperty(L"TLabelNote", L"Items", Items(&TLabelNote::Items));
  RegisterLayoutProperty(L"TLabelNote", L"TextIndex", Setter(&TLabelNote::SetTextIndex));
  RegisterItemProperty(L"TLabelItem", L"Text", ItemSetter(&TLabelItem::SetText));
  RegisterItemProperty(L"TLabelItem", L"Name", ItemSetter(&TLabelItem::SetName));
}

// Caption, Font, Visible, Enabled, Tag, the hint switches, the cursor and
// the inherited events come from the base classes.
void RegisterImageButton() {
  using B = TImageButton;
  const std::wstring b = L"TImageButton";
  RegisterLayoutClass(b, L"TGraphicControl", ui::Factory<B>());
  const auto add = [&b](const wchar_t* name, ui::TPropertyWriter writer) {
    RegisterLayoutProperty(b, name, std::move(writer));
  };
  add(L"CaptionDesc", Setter(&B::SetCaptionDesc));
  add(L"CaptionDescWidth", Setter(&B::SetCaptionDescWidth));
  add(L"CaptionDescFont", Setter(&B::SetCaptionDescFont));
  add(L"CaptionDescVisible", Setter(&B::SetCaptionDescVisible));
  add(L"CaptionDescTopOffset", Setter(&B::SetCaptionDescTopOffset));
  add(L"CaptionIcon", Setter(&B::SetCaptionIcon));
  add(L"CaptionIconVisible", Setter(&B::SetCaptionIconVisible));
  add(L"ImageNormal", Setter(&B::SetImageNormal));
  add(L"ImageDown", Setter(&B::SetImageDown));
  add(L"ImageOver", Setter(&B::SetImageOver));
  add(L"ImageDisabled", Setter(&B::SetImageDisabled));
  add(L"Expand", Setter(&B::SetExpand));
  add(L"ExpandImage", Setter(&B::SetExpandImage));
  add(L"ImageSelected", Setter(&B::SetImageSelected));
  add(L"OnMouseExit", ui::EventBinder(&B::OnMouseExit));
  add(L"UpDownIcon", Setter(&B::SetUpDownIcon));
  add(L"UpHoverIcon", Setter(&B::SetUpHoverIcon));
  add(L"UpNormalIcon", Setter(&B::SetUpNormalIcon));
  add(L"DnDownIcon", Setter(&B::SetDnDownIcon));
  add(L"DnHoverIcon", Setter(&B::SetDnHoverIcon));
  add(L"DnNormalIcon", Setter(&B::SetDnNormalIcon));
  add(L"ButtonCaptionALignment", Setter(&B::SetButtonCaptionALignment));
  add(L"TextOffset", Setter(&B::SetTextOffset));
  add(L"IconOffset", Setter(&B::SetIconOffset));
  add(L"TextTopOffset", Setter(&B::SetTextTopOffset));
  add(L"IconVisible", Setter(&B::SetIconVisible));
  add(L"IconAlign", Setter(&B::SetIconAlign));
  add(L"ShowCheckBox", Setter(&B::SetShowCheckBox));
  add(L"Checked", Setter(&B::SetChecked));
  add(L"CheckBoxNormalImage", Setter(&B::SetCheckBoxNormalImage));
  add(L"CheckBoxCheckedImage", Setter(&B::SetCheckBoxCheckedImage));
  add(L"CheckBoxOffset", Setter(&B::SetCheckBoxOffset));
  add(L"CheckBoxOnClick", ui::EventBinder(&B::CheckBoxOnClick));
  add(L"DisabledFontColor", Setter(&B::SetDisabledFontColor));
  add(L"SubCaption", Setter(&B::SetSubCaption));
  add(L"SubCaptionOffset", Setter(&B::SetSubCaptionOffset));
  add(L"SubCaptionTopOffset", Setter(&B::SetSubCaptionTopOffset));
  add(L"SubCaptionFont", Setter(&B::SetSubCaptionFont));
  add(L"SubCaptionData", Setter(&B::SetSubCaptionData));
  add(L"SubCaptionDataFont", Setter(&B::SetSubCaptionDataFont));
  add(L"ProImage", Setter(&B::SetProImage));
  add(L"ProImageTopOffset", Setter(&B::SetProImageTopOffset));
  add(L"RiskRate", Setter(&B::SetRiskRate));
  add(L"RiskRateMax", Setter(&B::SetRiskRateMax));
  add(L"RiskRateVisible", Setter(&B::SetRiskRateVisible));
  add(L"RiskRateBg", Setter(&B::SetRiskRateBg));
  add(L"RiskRateImage", Setter(&B::SetRiskRateImage));
  add(L"RiskRateArrow", Setter(&B::SetRiskRateArrow));
  add(L"RiskRateOffset", Setter(&B::SetRiskRateOffset));
  add(L"RiskRateArrowTop", Setter(&B::SetRiskRateArrowTop));
  add(L"RiskRateMin", Setter(&B::SetRiskRateMin));
  add(L"RiskRateMid", Setter(&B::SetRiskRateMid));
  add(L"RiskRateHig", Setter(&B::SetRiskRateHig));
  add(L"RiskRateMinFont", Setter(&B::SetRiskRateMinFont));
  add(L"RiskRateMidFont", Setter(&B::SetRiskRateMidFont));
  add(L"RiskRateHigFont", Setter(&B::SetRiskRateHigFont));
}

void RegisterFormBorder() {
  const std::wstring c = L"TFormBorder";
  RegisterLayoutClass(c, L"TGraphicControl", ui::Factory<TFormBorder>());
  RegisterLayoutProperty(c, L"Ex_BorderType", Setter(&TFormBorder::SetEx_BorderType));
  RegisterLayoutProperty(c, L"Alignment", Setter(&TFormBorder::SetAlignment));
  RegisterLayoutProperty(c, L"Ex_LeftPic", Setter(&TFormBorder::SetEx_LeftPic));
  RegisterLayoutProperty(c, L"Ex_RightPic", Setter(&TFormBorder::SetEx_RightPic));
  RegisterLayoutProperty(c, L"Ex_BorderPic", Setter(&TFormBorder::SetEx_BorderPic));
  RegisterLayoutProperty(c, L"Ex_ClientPic", Setter(&TFormBorder::SetEx_ClientPic));
  RegisterLayoutProperty(c, L"Ex_RightBottomPic", Setter(&TFormBorder::SetEx_RightBottomPic));
  RegisterLayoutProperty(c, L"CanMove", Setter(&TFormBorder::SetCanMove));
  RegisterLayoutProperty(c, L"CanDragResize", Setter(&TFormBorder::SetCanDragResize));
  RegisterLayoutProperty(c, L"SizeRectWidth", Setter(&TFormBorder::SetSizeRectWidth));
  RegisterLayoutProperty(c, L"SizeRectHeight", Setter(&TFormBorder::SetSizeRectHeight));
  RegisterLayoutProperty(c, L"MaxFormButton", ui::ReferenceSetter(&TFormBorder::SetMaxFormButton));
  RegisterLayoutProperty(c, L"RestoreFormButton",
                         ui::ReferenceSetter(&TFormBorder::SetRestoreFormButton));
  RegisterLayoutProperty(c, L"MinFormButtom", ui::ReferenceSetter(&TFormBorder::SetMinFormButtom));
  RegisterLayoutProperty(c, L"OnFormMaximize", ui::EventBinder(&TFormBorder::OnFormMaximize));
  RegisterLayoutProperty(c, L"OnFormNormal", ui::EventBinder(&TFormBorder::OnFormNormal));
  RegisterLayoutProperty(c, L"OnFormMinimize", ui::EventBinder(&TFormBorder::OnFormMinimize));
}

}  // namespace

void RegisterSkinLayoutClasses() {
  ui::RegisterStandardLayoutClasses();
  RegisterImageRect();
  RegisterImageProgress();
  RegisterNotes();
  RegisterImageButton();
  RegisterFormBorder();
  RegisterLayoutClass(L"TLabel", L"TGraphicControl", ui::Factory<skin::TLabel>());
}

}  // namespace skin
