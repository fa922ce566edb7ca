// The main window for a user without a mouse, or with a screen reader: what
// the keyboard reaches and what the readers are told, beyond what the
// controls say of themselves. Tab moves through Generate, the path link and
// the close button, in the layout's order; Esc does what the close button
// does.
#include "app/MainWindow.h"
#include "skin/ImageButton.h"
#include "ui/Label.h"

void TfrmBRKPortable::SetUpKeyboardAndReaders() {
  // btnBg is Generate's large picture, and a press on it is Generate's: one
  // stop for the keyboard and one button for the readers.
  FBtnBg->SetTabStop(false);
  FBtnBg->SetAccessibleRole(ui::arNone);
  // Pressed by a key, Generate takes its picture down with it, as the
  // mouse's mirror handlers do.
  FImgBtnGen->OnKeyboardPress = [this](ui::TComponent&, bool pressed) {
    FBtnBg->SetKeyPressed(pressed);
  };
  FBtnSelectPath->SetAccessibleRole(ui::arLink);
  // A store of the target path, never shown.
  FLblPath->SetAccessibleRole(ui::arNone);
  // The title repeats the window's own name, which readers announce.
  if (auto* title = dynamic_cast<ui::TControl*>(FindComponent(L"lbl_Caption"))) {
    title->SetAccessibleRole(ui::arNone);
  }
  Keyboard().SetCancelControl(FImgBtnClose);
}

void TfrmBRKPortable::NameControlsForReaders() {
  // The close button shows only a cross.
  FImgBtnClose->SetAccessibleName(Message(L"M_Close", L"Close"));
}
