// Translation of a real window holding one component of every kind the
// language files can address, from a UTF-16 language file.
#include "i18n/Language.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "skin/ImageButton.h"
#include "skin/ImageNote.h"
#include "skin/LabelNote.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
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

using testing_support::TempFolder;

// Other tools of the family put pages of this class on their windows; each
// page is translated from a section of its own.
class TReportTab : public ui::TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::wstring_view ClassName() const override { return L"TReportTab"; }
};

template <typename Kind>
Kind& Add(ui::TWinControl& parent, ui::TComponent& owner, const wchar_t* name,
          const wchar_t* caption = L"") {
  Kind& component = ui::Create<Kind>(owner);
  component.SetName(name);
  if constexpr (std::is_base_of_v<ui::TControl, Kind>) component.SetParent(&parent);
  component.SetCaption(caption);
  return component;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

class TranslateComponent : public testing::Test {
 protected:
  TranslateComponent() : form_(L"TfrmI18nTranslateTest") {
    form_.SetName(L"frmTest");
    form_.SetCaption(L"Layout caption");
    form_.SetClientSize(400, 300);
  }

  TLanguage& Language(const std::wstring& text) {
    folder_.WriteUtf16(L"German.lng", text);
    language_ = std::make_unique<TLanguage>(L"BRKPortable", folder_.Path());
    return *language_;
  }

  TempFolder folder_;
  ui::TForm form_;
  std::unique_ptr<TLanguage> language_;
};

TEST_F(TranslateComponent, SetsEveryKindOfText) {
  auto& label = Add<ui::TLabel>(form_, form_, L"lblInfo", L"label");
  auto& kept = Add<ui::TLabel>(form_, form_, L"lblKept", L"kept");
  auto& emptied = Add<ui::TLabel>(form_, form_, L"lblEmpty", L"to be emptied");
  auto& button = Add<ui::TButton>(form_, form_, L"btnCancel", L"Cancel");
  auto& group = Add<ui::TGroupBox>(form_, form_, L"grpBox", L"group");
  auto& check = Add<ui::TCheckBox>(form_, form_, L"chkBox", L"check");
  auto& radio = Add<ui::TRadioButton>(form_, form_, L"radBtn", L"radio");
  auto& menu = Add<ui::TMenuItem>(form_, form_, L"mnuItem", L"menu");
  auto& tool = Add<ui::TToolButton>(form_, form_, L"tlbBtn", L"tool");
  auto& speed = Add<ui::TSpeedButton>(form_, form_, L"spdBtn", L"speed");
  auto& sheet = Add<ui::TTabSheet>(form_, form_, L"tabSheet", L"sheet");
  auto& imageButton = Add<skin::TImageButton>(form_, form_, L"imgBtnGen", L"Generate");
  auto& untranslated = Add<skin::TImageButton>(form_, form_, L"imgBtnClose", L"x");
  auto& combo = Add<ui::TComboBox>(form_, form_, L"cmbList");
  combo.AddItem(L"one");
  combo.AddItem(L"two");
  auto& tree = Add<ui::TTreeView>(form_, form_, L"tvTree");
  const int root = tree.AddNode(-1, L"root");
  tree.AddNode(root, L"child");
  tree.AddNode(-1, L"second root");
  auto& list = Add<ui::TListView>(form_, form_, L"lvList");
  list.AddColumn(L"first", 60);
  list.AddColumn(L"second", 60);
  auto& picture = Add<ui::TImage>(form_, form_, L"imgPicture", L"not a text kind");
  auto& labelNote = Add<skin::TLabelNote>(form_, form_, L"lbnNotes", L"shown");
  labelNote.Items().Add().SetText(L"first");
  labelNote.Items().Add().SetText(L"second");
  labelNote.Items().Add().SetText(L"third");
  auto& hinted = Add<skin::TImageNote>(form_, form_, L"imnHinted");
  hinted.SetShowHint(true);
  hinted.SetHint(L"hint");
  auto& unhinted = Add<skin::TImageNote>(form_, form_, L"imnQuiet");
  unhinted.SetShowHint(false);
  unhinted.SetHint(L"quiet");
  auto& tab = Add<TReportTab>(form_, form_, L"ReportTab1");
  auto& inner = Add<ui::TLabel>(tab, tab, L"lblInner", L"inner");
  auto& outerNamesake = Add<ui::TLabel>(form_, form_, L"lblOnTab", L"outer");
  ASSERT_TRUE(form_.CreateHandle());

  TLanguage& language = Language(
      L"[Main]\r\nDisplayName=Deutsch\r\n"
      L"[BRKPortable_frmTest]\r\n"
      L"frmTest.Caption=Fenstertitel\r\n"
      L"LBLINFO.CAPTION=Beschriftung\r\n"
      L"lblEmpty.Caption=\r\n"
      L"btnCancel.Caption=Abbrechen\r\ngrpBox.Caption=Gruppe\r\nchkBox.Caption=Pr\u00FCfen\r\n"
      L"radBtn.Caption=Auswahl\r\nmnuItem.Caption=Men\u00FC\r\ntlbBtn.Caption=Werkzeug\r\n"
      L"spdBtn.Caption=Schnell\r\ntabSheet.Caption=Seite\r\nimgBtnGen.Caption=Erstellen\r\n"
      L"cmbList.Items[0].Caption=eins\r\ncmbList.Items[1].Caption=zwei\r\n"
      L"tvTree.Items[0].Caption=Wurzel\r\ntvTree.Items[1].Caption=Kind\r\n"
      L"tvTree.Items[2].Caption=\u65E5\u672C\r\n"
      L"lvList.Columns[0].Caption=Erste\r\nlvList.Columns[1].Caption=Zweite\r\n"
      L"imgPicture.Caption=must stay\r\n"
      L"lbnNotes.Caption=not for notes\r\nlbnNotes.Items[0].Caption=erste\r\n"
      L"lbnNotes.Items[2].Caption=dritte\r\n"
      L"imnHinted.Hint=Hinweis\r\nimnQuiet.Hint=not shown, not read\r\n"
      L"lblInner.Caption=wrong section\r\n"
      L"[BRKPortable_ReportTab1]\r\n"
      L"lblInner.Caption=Innen\r\n"
      L"lblOnTab.Caption=wrong section\r\n");
  ASSERT_TRUE(language.LoadLanguage(L"German"));
  language.TranslateComponent(form_);

  EXPECT_EQ(form_.Caption(), L"Fenstertitel");
  EXPECT_EQ(WindowText(form_.Handle()), L"Fenstertitel");
  EXPECT_EQ(label.Caption(), L"Beschriftung");
  EXPECT_EQ(kept.Caption(), L"kept");
  EXPECT_EQ(emptied.Caption(), L"");
  EXPECT_EQ(button.Caption(), L"Abbrechen");
  EXPECT_EQ(WindowText(button.Handle()), L"Abbrechen");
  EXPECT_EQ(group.Caption(), L"Gruppe");
  EXPECT_EQ(check.Caption(), L"Pr\u00FCfen");
  EXPECT_EQ(radio.Caption(), L"Auswahl");
  EXPECT_EQ(menu.Caption(), L"Men\u00FC");
  EXPECT_EQ(tool.Caption(), L"Werkzeug");
  EXPECT_EQ(speed.Caption(), L"Schnell");
  EXPECT_EQ(sheet.Caption(), L"Seite");
  EXPECT_EQ(imageButton.Caption(), L"Erstellen");
  EXPECT_EQ(untranslated.Caption(), L"x");

  EXPECT_EQ(combo.Item(0), L"eins");
  EXPECT_EQ(combo.Item(1), L"zwei");
  wchar_t item[64] = {};
  SendMessageW(combo.Handle(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"zwei");

  EXPECT_EQ(tree.NodeText(0), L"Wurzel");
  EXPECT_EQ(tree.NodeText(1), L"Kind") << "nodes count in flat order, children included";
  EXPECT_EQ(tree.NodeText(2), L"\u65E5\u672C");
  EXPECT_EQ(list.ColumnCaption(0), L"Erste");
  EXPECT_EQ(list.ColumnCaption(1), L"Zweite");

  EXPECT_EQ(picture.Caption(), L"not a text kind");
  EXPECT_EQ(labelNote.Items().Items(0).Text(), L"erste");
  EXPECT_EQ(labelNote.Items().Items(1).Text(), L"second");
  EXPECT_EQ(labelNote.Items().Items(2).Text(), L"dritte");
  EXPECT_EQ(labelNote.Caption(), L"shown") << "a note shows a new text at its next selection";
  labelNote.SetTextIndex(2);
  EXPECT_EQ(labelNote.Caption(), L"dritte");
  EXPECT_EQ(hinted.Hint(), L"Hinweis");
  EXPECT_EQ(unhinted.Hint(), L"quiet");
  EXPECT_EQ(inner.Caption(), L"Innen");
  EXPECT_EQ(outerNamesake.Caption(), L"outer");
}

TEST_F(TranslateComponent, MissingKeysAndMistakenKeysLeaveTextsAlone) {
  auto& label = Add<ui::TLabel>(form_, form_, L"lblInfo", L"label");
  auto& tab = Add<TReportTab>(form_, form_, L"ReportTab1");
  auto& inner = Add<ui::TLabel>(tab, tab, L"lblInner", L"inner");
  auto& after = Add<ui::TLabel>(form_, form_, L"lblAfter", L"after");
  TLanguage& language = Language(
      L"[BRKPortable_frmTest]\r\nlblInfo.Caption=Beschriftung\r\nlblAfter.Caption=Danach\r\n"
      // A caption key for something that is not a window ends its own
      // translation, but not its window's.
      L"[BRKPortable_ReportTab1]\r\nReportTab1.Caption=Seite\r\nlblInner.Caption=Innen\r\n");
  language.TranslateComponent(form_);

  EXPECT_EQ(form_.Caption(), L"Layout caption");
  EXPECT_EQ(label.Caption(), L"Beschriftung");
  EXPECT_EQ(tab.Caption(), L"");
  EXPECT_EQ(inner.Caption(), L"inner");
  EXPECT_EQ(after.Caption(), L"Danach");

  // A component without a name has no section.
  form_.SetName(L"");
  label.SetCaption(L"label");
  language.TranslateComponent(form_);
  EXPECT_EQ(label.Caption(), L"label");
}

TEST_F(TranslateComponent, WithoutALanguageNothingChanges) {
  auto& label = Add<ui::TLabel>(form_, form_, L"lblInfo", L"label");
  TLanguage language(L"BRKPortable", folder_.File(L"missing"));
  language.TranslateComponent(form_);
  EXPECT_EQ(form_.Caption(), L"Layout caption");
  EXPECT_EQ(label.Caption(), L"label");
}

}  // namespace
}  // namespace i18n
