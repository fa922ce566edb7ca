// A borderless window with a form border across its top and nothing else,
// for the end-to-end test that drags it with real X input.
#include <windows.h>

#include "skin/FormBorder.h"
#include "ui/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ui::TForm form(L"TFormBorderDragWindow");
  form.SetCaption(L"Form border drag test");
  form.SetClientSize(300, 120);
  form.SetColor(0x00404040);
  auto& border = ui::Create<skin::TFormBorder>(form);
  border.SetHeight(30);
  border.SetParent(&form);
  border.SetColor(0x00A06020);
  border.SetCanDragResize(true);
  border.SetSizeRectWidth(5);
  border.SetSizeRectHeight(5);
  return ui::RunMainForm(form);
}
