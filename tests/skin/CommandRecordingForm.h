// A form for tests of the skin's border: it records the system commands it
// receives instead of running them, so that no move or size loop starts.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/Form.h"

class CommandRecordingForm : public ui::TForm {
 public:
  using ui::TForm::TForm;
  std::vector<WPARAM> commands;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SYSCOMMAND) {
      commands.push_back(wParam);
      return 0;
    }
    return ui::TForm::WindowProc(message, wParam, lParam);
  }
};
