#include "ui/Button.h"

namespace ui {

TButtonControl::TButtonControl(TComponent* owner, DWORD buttonStyle)
    : TWinControl(owner), buttonStyle_(buttonStyle) {}

void TButtonControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass = L"BUTTON";
  params.SystemClass = true;
  params.Style |= WS_TABSTOP | buttonStyle_;
}

bool TButtonControl::Notification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  Click();
  result = 0;
  return true;
}

bool TCheckableButton::Checked() const {
  if (HandleAllocated()) return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckableButton::SetChecked(bool checked) {
  checked_ = checked;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : 0, 0);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner, BS_PUSHBUTTON) {
  SetBounds(0, 0, 75, 25);
}

}  // namespace ui
