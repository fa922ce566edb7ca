#include "ui/RadioButton.h"

namespace ui {

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner, BS_AUTORADIOBUTTON) {
  SetBounds(0, 0, 113, 17);
}

bool TRadioButton::Checked() const {
  if (HandleAllocated()) return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TRadioButton::SetChecked(bool checked) {
  checked_ = checked;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : 0, 0);
}

void TRadioButton::HandleCreated() {
  SetChecked(checked_);
}

}  // namespace ui
