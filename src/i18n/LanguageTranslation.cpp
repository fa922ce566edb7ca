// The translation of a window: which text of which kind of component is set
// from which key of the window's section.
#include "i18n/Language.h"

#include "skin/ImageButton.h"
#include "skin/ImageNote.h"
#include "skin/LabelNote.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Component.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MenuItem.h"
#include "ui/RadioButton.h"
#include "ui/SpeedButton.h"
#include "ui/TabSheet.h"
#include "ui/ToolButton.h"
#include "ui/TreeView.h"

namespace i18n {
namespace {

template <typename Kind>
Kind* As(ui::TComponent& component) {
  return dynamic_cast<Kind*>(&component);
}

std::wstring ItemKey(const std::wstring& name, const wchar_t* list, int index) {
  return name + L"." + list + L"[" + std::to_wstring(index) + L"].Caption";
}

// The kinds whose one text is their caption.
bool IsCaptionKind(ui::TComponent& component) {
  return As<ui::TLabel>(component) || As<ui::TButton>(component) || As<ui::TGroupBox>(component) ||
         As<ui::TCheckBox>(component) || As<ui::TRadioButton>(component) ||
         As<ui::TToolButton>(component) || As<ui::TSpeedButton>(component) ||
         As<ui::TTabSheet>(component) || As<skin::TImageButton>(component);
}

// Containers of other tools' report pages carry their own sections.
bool IsReportContainer(const ui::TComponent& component) {
  return component.ClassName() == L"TReportTab" || component.ClassName() == L"TReportContent";
}

}  // namespace

void TLanguage::TranslateComponent(ui::TComponent& component) {
  if (component.Name().empty()) return;
  const std::wstring section = FSection + L"_" + component.Name();
  try {
    const std::wstring captionKey = component.Name() + L".Caption";
    if (FIniFile.HasKey(section, captionKey)) {
      // Only a window's own caption is translated; for anything else the
      // key is a mistake that ends this component's translation.
      ui::TForm* form = As<ui::TForm>(component);
      if (form == nullptr) return;
      form->SetCaption(ReadLanguageValue(section, captionKey, form->Caption()));
    }
    for (int i = 0; i < component.ComponentCount(); ++i) {
      TranslateOwned(section, *component.Components(i));
    }
  } catch (...) {
    // A window is shown with the texts it has rather than not at all.
  }
}

void TLanguage::TranslateOwned(const std::wstring& section, ui::TComponent& component) {
  const std::wstring& name = component.Name();
  const auto read = [&](const std::wstring& key, const std::wstring& current) {
    return ReadLanguageValue(section, key, current);
  };

  // A label note is a label too; its stored texts are what it shows, so
  // they come first. The caption follows at the note's next selection.
  if (skin::TLabelNote* note = As<skin::TLabelNote>(component)) {
    for (int i = 0; i < note->Items().Count(); ++i) {
      skin::TLabelItem& item = note->Items().Items(i);
      item.SetText(read(ItemKey(name, L"Items", i), item.Text()));
    }
  } else if (skin::TImageNote* pictures = As<skin::TImageNote>(component)) {
    if (pictures->ShowHint()) pictures->SetHint(read(name + L".Hint", pictures->Hint()));
  } else if (IsCaptionKind(component)) {
    auto& control = static_cast<ui::TControl&>(component);
    control.SetCaption(read(name + L".Caption", control.Caption()));
  } else if (ui::TMenuItem* item = As<ui::TMenuItem>(component)) {
    item->SetCaption(read(name + L".Caption", item->Caption()));
  } else if (ui::TComboBox* combo = As<ui::TComboBox>(component)) {
    for (int i = 0; i < combo->ItemCount(); ++i) {
      combo->SetItem(i, read(ItemKey(name, L"Items", i), combo->Item(i)));
    }
    combo->Repaint();
  } else if (ui::TTreeView* tree = As<ui::TTreeView>(component)) {
    for (int i = 0; i < tree->NodeCount(); ++i) {
      tree->SetNodeText(i, read(ItemKey(name, L"Items", i), tree->NodeText(i)));
    }
  } else if (ui::TListView* list = As<ui::TListView>(component)) {
    for (int i = 0; i < list->ColumnCount(); ++i) {
      list->SetColumnCaption(i, read(ItemKey(name, L"Columns", i), list->ColumnCaption(i)));
    }
  } else if (IsReportContainer(component)) {
    TranslateComponent(component);
  }
}

}  // namespace i18n
