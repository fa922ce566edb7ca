#include "skin/SkinLayoutClasses.h"

#include "skin/PImageNote.h"
#include "skin/PImageRect.h"
#include "skin/PLabelNote.h"
#include "skin/TLabel_Transparent.h"
#include "skin/uFormBorder.h"
#include "ui/LayoutReader.h"

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

void RegisterFormBorder() {
  const std::wstring c = L"TFormBorder";
  RegisterLayoutClass(c, L"TGraphicControl", ui::Factory<TFormBorder>());
  RegisterLayoutProperty(
      c, L"Ex_BorderType",
      ui::EnumSetter(&TFormBorder::SetEx_BorderType, {{L"btHeader", btHeader},
                                                      {L"btFooter", btFooter},
                                                      {L"btLefter", btLefter},
                                                      {L"btRighter", btRighter}}));
  RegisterLayoutProperty(
      c, L"Alignment",
      ui::EnumSetter(&TFormBorder::SetAlignment, {{L"taLeftJustify", ui::taLeftJustify},
                                                  {L"taRightJustify", ui::taRightJustify},
                                                  {L"taCenter", ui::taCenter}}));
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
  RegisterNotes();
  RegisterFormBorder();
  RegisterLayoutClass(L"TLabel", L"TGraphicControl", ui::Factory<skin::TLabel>());
}

}  // namespace skin
