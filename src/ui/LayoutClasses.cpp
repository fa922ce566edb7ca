// The framework's own classes and properties as a window layout names them.
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/LayoutReader.h"
#include "ui/ListView.h"
#include "ui/MenuItem.h"
#include "ui/RadioButton.h"
#include "ui/SpeedButton.h"
#include "ui/TabSheet.h"
#include "ui/ToolButton.h"
#include "ui/TreeView.h"

namespace ui {

template <>
struct TLayoutEnum<TEllipsisPosition> {
  static const TEnumNames& Names() {
    static const TEnumNames names = {{L"epNone", epNone},
                                     {L"epPathEllipsis", epPathEllipsis},
                                     {L"epEndEllipsis", epEndEllipsis},
                                     {L"epWordEllipsis", epWordEllipsis}};
    return names;
  }
};

template <>
struct TLayoutEnum<TTextLayout> {
  static const TEnumNames& Names() {
    static const TEnumNames names = {
        {L"tlTop", tlTop}, {L"tlCenter", tlCenter}, {L"tlBottom", tlBottom}};
    return names;
  }
};

namespace {

void RegisterControlProperties() {
  RegisterLayoutClass(L"TComponent", L"", nullptr);
  RegisterLayoutProperty(L"TComponent", L"Tag", Setter(&TComponent::SetTag));

  const std::wstring c = L"TControl";
  RegisterLayoutClass(c, L"TComponent", nullptr);
  RegisterLayoutProperty(c, L"Left", Setter(&TControl::SetLeft));
  RegisterLayoutProperty(c, L"Top", Setter(&TControl::SetTop));
  RegisterLayoutProperty(c, L"Width", Setter(&TControl::SetWidth));
  RegisterLayoutProperty(c, L"Height", Setter(&TControl::SetHeight));
  RegisterLayoutProperty(c, L"Visible", Setter(&TControl::SetVisible));
  RegisterLayoutProperty(c, L"Enabled", Setter(&TControl::SetEnabled));
  RegisterLayoutProperty(c, L"Hint", Setter(&TControl::SetHint));
  RegisterLayoutProperty(c, L"ShowHint", Setter(&TControl::SetShowHint));
  RegisterLayoutProperty(c, L"ParentShowHint", Setter(&TControl::SetParentShowHint));
  RegisterLayoutProperty(c, L"Caption", Setter(&TControl::SetCaption));
  RegisterLayoutProperty(c, L"ParentFont", Setter(&TControl::SetParentFont));
  RegisterLayoutProperty(c, L"Color", Setter(&TControl::SetColor));
  RegisterLayoutProperty(c, L"Align", Setter(&TControl::SetAlign));
  RegisterLayoutProperty(c, L"Cursor", Setter(&TControl::SetCursor));
  // The font follows the parent's until set: a group changes that one.
  RegisterLayoutProperty(c, L"Font", Setter(&TControl::Font, &TControl::SetFont));
  RegisterLayoutProperty(c, L"OnClick", EventBinder(&TControl::OnClick));
  RegisterLayoutProperty(c, L"OnDblClick", EventBinder(&TControl::OnDblClick));
  RegisterLayoutProperty(c, L"OnMouseEnter", EventBinder(&TControl::OnMouseEnter));
  RegisterLayoutProperty(c, L"OnMouseLeave", EventBinder(&TControl::OnMouseLeave));
  RegisterLayoutProperty(c, L"OnMouseDown", EventBinder(&TControl::OnMouseDown));
  RegisterLayoutProperty(c, L"OnMouseUp", EventBinder(&TControl::OnMouseUp));
  RegisterLayoutProperty(c, L"OnMouseMove", EventBinder(&TControl::OnMouseMove));
  RegisterLayoutProperty(c, L"OnResize", EventBinder(&TControl::OnResize));

  RegisterLayoutClass(L"TGraphicControl", c, nullptr);
  RegisterLayoutClass(L"TWinControl", c, nullptr);
  RegisterLayoutProperty(L"TWinControl", L"DoubleBuffered",
                         Setter(&TWinControl::SetDoubleBuffered));
  RegisterLayoutClass(L"TCustomControl", L"TWinControl", Factory<TCustomControl>());
}

void RegisterForm() {
  const std::wstring f = L"TForm";
  RegisterLayoutClass(f, L"TWinControl", nullptr);
  RegisterLayoutProperty(f, L"ClientWidth",
                         [](TComponent& t, const TLayoutValue& v, const TLayoutContext&) {
                           auto& form = dynamic_cast<TForm&>(t);
                           form.SetClientSize(LayoutInt(v), form.ClientHeight());
                         });
  RegisterLayoutProperty(f, L"ClientHeight",
                         [](TComponent& t, const TLayoutValue& v, const TLayoutContext&) {
                           auto& form = dynamic_cast<TForm&>(t);
                           form.SetClientSize(form.ClientWidth(), LayoutInt(v));
                         });
  RegisterLayoutProperty(f, L"TransparentColor", Setter(&TForm::SetTransparentColor));
  RegisterLayoutProperty(f, L"TransparentColorValue", Setter(&TForm::SetTransparentColorValue));
  RegisterLayoutProperty(f, L"OnCreate", EventBinder(&TForm::OnCreate));
  RegisterLayoutProperty(f, L"OnDestroy", EventBinder(&TForm::OnDestroy));
}

void RegisterPictureAndLabel() {
  const std::wstring i = L"TImage";
  RegisterLayoutClass(i, L"TGraphicControl", Factory<TImage>());
  RegisterLayoutProperty(i, L"Picture", Setter(&TImage::SetPicture));
  RegisterLayoutProperty(i, L"Stretch", Setter(&TImage::SetStretch));
  RegisterLayoutProperty(i, L"Center", Setter(&TImage::SetCenter));
  RegisterLayoutProperty(i, L"AutoSize", Setter(&TImage::SetAutoSize));

  const std::wstring l = L"TLabel";
  RegisterLayoutClass(l, L"TGraphicControl", Factory<TLabel>());
  RegisterLayoutProperty(l, L"AutoSize", Setter(&TLabel::SetAutoSize));
  RegisterLayoutProperty(l, L"WordWrap", Setter(&TLabel::SetWordWrap));
  RegisterLayoutProperty(l, L"ShowAccelChar", Setter(&TLabel::SetShowAccelChar));
  RegisterLayoutProperty(l, L"Transparent", Setter(&TLabel::SetTransparent));
  RegisterLayoutProperty(l, L"EllipsisPosition", Setter(&TLabel::SetEllipsisPosition));
  RegisterLayoutProperty(l, L"Alignment", Setter(&TLabel::SetAlignment));
  RegisterLayoutProperty(l, L"Layout", Setter(&TLabel::SetLayout));
}

void RegisterStandardKinds() {
  RegisterLayoutClass(L"TButton", L"TWinControl", Factory<TButton>());
  RegisterLayoutClass(L"TGroupBox", L"TWinControl", Factory<TGroupBox>());
  RegisterLayoutClass(L"TCheckBox", L"TWinControl", Factory<TCheckBox>());
  RegisterLayoutProperty(L"TCheckBox", L"Checked", Setter(&TCheckBox::SetChecked));
  RegisterLayoutClass(L"TRadioButton", L"TWinControl", Factory<TRadioButton>());
  RegisterLayoutProperty(L"TRadioButton", L"Checked", Setter(&TRadioButton::SetChecked));
  RegisterLayoutClass(L"TToolButton", L"TGraphicControl", Factory<TToolButton>());
  RegisterLayoutClass(L"TSpeedButton", L"TGraphicControl", Factory<TSpeedButton>());
  RegisterLayoutClass(L"TTabSheet", L"TCustomControl", Factory<TTabSheet>());

  RegisterLayoutClass(L"TMenuItem", L"TComponent", Factory<TMenuItem>());
  RegisterLayoutProperty(L"TMenuItem", L"Caption", Setter(&TMenuItem::SetCaption));
  RegisterLayoutProperty(L"TMenuItem", L"OnClick", EventBinder(&TMenuItem::OnClick));

  RegisterLayoutClass(L"TComboBox", L"TWinControl", Factory<TComboBox>());
  RegisterLayoutProperty(L"TComboBox", L"ItemIndex", Setter(&TComboBox::SetItemIndex));
  RegisterLayoutProperty(L"TComboBox", L"Items",
                         [](TComponent& t, const TLayoutValue& v, const TLayoutContext&) {
                           if (v.kind != TLayoutValue::Set)
                             throw ELayoutError("expected a list of strings");
                           auto& combo = dynamic_cast<TComboBox&>(t);
                           for (const TLayoutValue& item : v.elements)
                             combo.AddItem(LayoutString(item));
                         });

  // Nodes in flat order, each with its depth: { Text = "a" Level = 1 }.
  RegisterLayoutClass(L"TTreeView", L"TWinControl", Factory<TTreeView>());
  RegisterLayoutProperty(L"TTreeView", L"Items",
                         [](TComponent& t, const TLayoutValue& v, const TLayoutContext&) {
                           if (v.kind != TLayoutValue::Collection)
                             throw ELayoutError("expected a collection");
                           auto& tree = dynamic_cast<TTreeView&>(t);
                           for (const auto& group : v.items) {
                             std::wstring text;
                             int level = 0;
                             for (const TLayoutProperty& p : group) {
                               if (p.name == L"Text") {
                                 text = LayoutString(p.value);
                               } else if (p.name == L"Level") {
                                 level = LayoutInt(p.value);
                               } else {
                                 throw ELayoutError("unknown tree node property");
                               }
                             }
                             int parent = tree.NodeCount() - 1;
                             while (parent >= 0 && tree.NodeLevel(parent) >= level) --parent;
                             if (level > 0 && (parent < 0 || tree.NodeLevel(parent) != level - 1)) {
                               throw ELayoutError("tree node without a parent");
                             }
                             tree.AddNode(level == 0 ? -1 : parent, text);
                           }
                         });

  RegisterLayoutClass(L"TListView", L"TWinControl", Factory<TListView>());
  RegisterLayoutProperty(L"TListView", L"Columns",
                         [](TComponent& t, const TLayoutValue& v, const TLayoutContext&) {
                           if (v.kind != TLayoutValue::Collection)
                             throw ELayoutError("expected a collection");
                           auto& list = dynamic_cast<TListView&>(t);
                           for (const auto& group : v.items) {
                             std::wstring caption;
                             int width = 50;
                             for (const TLayoutProperty& p : group) {
                               if (p.name == L"Caption") {
                                 caption = LayoutString(p.value);
                               } else if (p.name == L"Width") {
                                 width = LayoutInt(p.value);
                               } else {
                                 throw ELayoutError("unknown column property");
                               }
                             }
                             list.AddColumn(caption, width);
                           }
                         });
}

}  // namespace

void RegisterStandardLayoutClasses() {
  // Once only: a module may have put its own class in a standard one's place.
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterControlProperties();
  RegisterForm();
  RegisterPictureAndLabel();
  RegisterStandardKinds();
}

}  // namespace ui
