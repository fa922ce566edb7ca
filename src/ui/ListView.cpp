#include "ui/ListView.h"

#include <commctrl.h>

#include "ui/SystemLibrary.h"

namespace ui {

TListView::TListView(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 250, 150);
}

void TListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  params.WindowClass = WC_LISTVIEWW;
  params.SystemClass = true;
  params.Style |= WS_TABSTOP | WS_BORDER | LVS_REPORT;
  params.Caption.clear();
}

void TListView::InsertIntoWindow(int index) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = columns_[index].width;
  column.pszText = columns_[index].caption.data();
  SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

void TListView::HandleCreated() {
  for (int i = 0; i < ColumnCount(); ++i) InsertIntoWindow(i);
}

void TListView::AddColumn(const std::wstring& caption, int width) {
  columns_.push_back({caption, width});
  if (HandleAllocated()) InsertIntoWindow(ColumnCount() - 1);
}

void TListView::SetColumnCaption(int index, const std::wstring& caption) {
  Column& column = columns_.at(index);
  column.caption = caption;
  if (!HandleAllocated()) return;
  LVCOLUMNW update{};
  update.mask = LVCF_TEXT;
  update.pszText = column.caption.data();
  SendMessageW(Handle(), LVM_SETCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&update));
}

}  // namespace ui
