// The real services of the main window, less its diagnostic lines: tests
// that build the window need its real behaviour, not its debug output.
#pragma once

#include <string>

#include "app/MainWindow.h"

inline app::TMainWindowServices QuietServices() {
  app::TMainWindowServices s = app::RealMainWindowServices();
  s.debugLine = [](const std::wstring&) {};
  return s;
}
