#include "ui/ComboBox.h"

namespace ui {

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
}

void TComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass = L"COMBOBOX";
  params.SystemClass = true;
  params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  params.Caption.clear();
}

void TComboBox::AppendToWindow(const std::wstring& text) {
  SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TComboBox::HandleCreated() {
  for (const auto& item : items_) AppendToWindow(item);
  SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TComboBox::SetItem(int index, const std::wstring& text) {
  items_.at(index) = text;
  if (!HandleAllocated()) return;
  const int selected = ItemIndex();
  SendMessageW(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.c_str()));
  SetItemIndex(selected);
}

void TComboBox::AddItem(const std::wstring& text) {
  items_.push_back(text);
  if (HandleAllocated()) AppendToWindow(text);
}

int TComboBox::ItemIndex() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
  return itemIndex_;
}

void TComboBox::SetItemIndex(int index) {
  itemIndex_ = index;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace ui
