// The thin kinds over the system's controls keep their texts and mirror
// them into their windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/ListView.h"
#include "ui/RadioButton.h"
#include "ui/TreeView.h"

namespace {

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

struct Window {
  Window() : form(L"TStandardKindsTestForm") {
    form.SetClientSize(300, 200);
    EXPECT_TRUE(form.CreateHandle());
  }
  template <typename Kind>
  Kind& Add() {
    auto& control = ui::Create<Kind>(form);
    control.SetParent(&form);
    return control;
  }
  ui::TForm form;
};

TEST(StandardKinds, CaptionedKindsShowTheirCaptionInTheirWindow) {
  Window window;
  ui::TWinControl* controls[] = {&window.Add<ui::TButton>(), &window.Add<ui::TGroupBox>(),
                                 &window.Add<ui::TCheckBox>(), &window.Add<ui::TRadioButton>()};
  for (ui::TWinControl* control : controls) {
    SCOPED_TRACE(std::string(control->ClassName().begin(), control->ClassName().end()));
    ASSERT_TRUE(control->HandleAllocated());
    control->SetCaption(L"Übersetzt");
    EXPECT_EQ(WindowText(control->Handle()), L"Übersetzt");
  }
}

TEST(StandardKinds, PushButtonClickReachesItsControl) {
  Window window;
  auto& button = window.Add<ui::TButton>();
  int clicks = 0;
  button.OnClick = [&](ui::TComponent&) { ++clicks; };
  SendMessageW(window.form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(button.Handle()));
  EXPECT_EQ(clicks, 1);
}

TEST(StandardKinds, CheckedStateSurvivesTheWindowsCreation) {
  ui::TForm form(L"TCheckedTestForm");
  auto& box = ui::Create<ui::TCheckBox>(form);
  box.SetParent(&form);
  box.SetChecked(true);
  ASSERT_TRUE(form.CreateHandle());
  EXPECT_EQ(SendMessageW(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(StandardKinds, ListTextsAreReplacedInPlace) {
  ui::TForm form(L"TListTextsTestForm");
  auto& combo = ui::Create<ui::TComboBox>(form);
  auto& tree = ui::Create<ui::TTreeView>(form);
  auto& list = ui::Create<ui::TListView>(form);
  for (ui::TControl* c : {static_cast<ui::TControl*>(&combo), static_cast<ui::TControl*>(&tree),
                          static_cast<ui::TControl*>(&list)}) {
    c->SetParent(&form);
  }
  combo.AddItem(L"one");
  combo.AddItem(L"two");
  combo.SetItemIndex(1);
  const int root = tree.AddNode(-1, L"root");
  tree.AddNode(-1, L"second root");
  tree.AddNode(root, L"child");
  list.AddColumn(L"Name", 80);
  ASSERT_TRUE(form.CreateHandle());

  // Flat order: each node, then its descendants.
  EXPECT_EQ(tree.NodeText(1), L"child");
  EXPECT_EQ(tree.NodeLevel(1), 1);
  EXPECT_EQ(tree.NodeText(2), L"second root");

  combo.SetItem(0, L"eins");
  tree.SetNodeText(1, L"Kind");
  list.SetColumnCaption(0, L"Name (de)");

  wchar_t text[64] = {};
  SendMessageW(combo.Handle(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"eins");
  EXPECT_EQ(combo.ItemIndex(), 1);

  HTREEITEM first = TreeView_GetRoot(tree.Handle());
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = TreeView_GetChild(tree.Handle(), first);
  item.pszText = text;
  item.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(tree.Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, L"Kind");

  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(list.Handle(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(text, L"Name (de)");
}

}  // namespace
