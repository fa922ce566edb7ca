#include "ui/TreeView.h"

#include "ui/SystemLibrary.h"

namespace ui {

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 97);
}

void TTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  InitCommonControlClasses(ICC_TREEVIEW_CLASSES);
  params.WindowClass = WC_TREEVIEWW;
  params.SystemClass = true;
  params.Style |= WS_TABSTOP | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;
  params.Caption.clear();
}

HTREEITEM TTreeView::InsertIntoWindow(int index) {
  HTREEITEM parent = TVI_ROOT;
  for (int i = index - 1; i >= 0; --i) {
    if (nodes_[i].level < nodes_[index].level) {
      parent = nodes_[i].item;
      break;
    }
  }
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = nodes_[index].text.data();
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::HandleCreated() {
  for (int i = 0; i < NodeCount(); ++i) nodes_[i].item = InsertIntoWindow(i);
}

int TTreeView::AddNode(int parent, const std::wstring& text) {
  int level = 0;
  int index = NodeCount();
  if (parent >= 0) {
    level = nodes_.at(parent).level + 1;
    // After the parent's last descendant.
    index = parent + 1;
    while (index < NodeCount() && nodes_[index].level >= level) ++index;
  }
  nodes_.insert(nodes_.begin() + index, Node{text, level, nullptr});
  if (HandleAllocated()) nodes_[index].item = InsertIntoWindow(index);
  return index;
}

void TTreeView::SetNodeText(int index, const std::wstring& text) {
  Node& node = nodes_.at(index);
  node.text = text;
  if (!HandleAllocated() || node.item == nullptr) return;
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node.item;
  item.pszText = node.text.data();
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace ui
