// Program entry: one copy at a time, then the main window and its message loop.
#include <windows.h>

#include "app/MainWindow.h"
#include "app/UniqueInstance.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  if (!CheckUniqueInstance(L"BRKV8_Portable", L"TfrmBRKPortable")) return 0;

  TfrmBRKPortable frmBRKPortable;
  return ui::RunMainForm(frmBRKPortable);
}
