#include "skin/SkinLayoutClasses.h"

#include "skin/PImageNote.h"
#include "skin/PImageProgress.h"
#include "skin/PImageRect.h"
#include "skin/PLabelNote.h"
#include "skin/TLabel_Transparent.h"
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

}  // namespace

void RegisterSkinLayoutClasses() {
  ui::RegisterStandardLayoutClasses();
  RegisterImageRect();
  RegisterImageProgress();
  RegisterNotes();
  RegisterLayoutClass(L"TLabel", L"TGraphicControl", ui::Factory<skin::TLabel>());
}

}  // namespace skin
