// A window with one image button, for the end-to-end test that moves the
// real pointer over it: blue while normal, red while the pointer is on it,
// green while pressed. A click on the button ends the program.
#include <windows.h>

#include "../../ui/PngFixture.h"
#include "skin/ImageButton.h"
#include "ui/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ui::TForm form(L"TImageButtonWindow");
  form.SetCaption(L"Image button hover");
  form.SetClientSize(200, 100);
  form.SetColor(0x00808080);
  form.SetDoubleBuffered(true);
  auto& button = ui::Create<skin::TImageButton>(form);
  button.SetBounds(50, 30, 100, 40);
  button.SetParent(&form);
  button.SetImageNormal(uitest::SolidPicture(4, 4, 0, 0, 255));
  button.SetImageOver(uitest::SolidPicture(4, 4, 255, 0, 0));
  button.SetImageDown(uitest::SolidPicture(4, 4, 0, 255, 0));
  // A caption as on the Generate button; the test reads the pictures
  // beside it.
  ui::TFont font;
  font.Height = -18;
  font.Color = 0x00FFE7B3;
  button.SetFont(font);
  button.SetCaption(L"Generate");
  button.OnClick = [&](ui::TComponent&) { PostMessageW(form.Handle(), WM_CLOSE, 0, 0); };
  form.SetMainForm(true);
  if (!form.CreateHandle()) return 1;
  form.Show();
  return ui::RunMessageLoop();
}
