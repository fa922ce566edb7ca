#include "ui/CheckBox.h"

namespace ui {

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner, BS_AUTOCHECKBOX) {
  SetBounds(0, 0, 97, 17);
}

bool TCheckBox::Checked() const {
  if (HandleAllocated()) return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : 0, 0);
}

void TCheckBox::HandleCreated() {
  SetChecked(checked_);
}

}  // namespace ui
