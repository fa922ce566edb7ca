// Everything the main window asks of the world outside itself: the archive
// job, the registry and the user's folders, Explorer, the save dialog and
// the debugger. The tool uses the real ones; the window's tests put in
// their own to drive every state and to see what would have been called,
// without a real install, a real Explorer or a dialog waiting for a user.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "app/ArchiveJob.h"

namespace app {

struct TMainWindowServices {
  TArchiveJobFactory newJob;
  // The product's install folder, ending in "\"; empty when unknown.
  std::function<std::wstring()> installLocation;
  // Folders without a trailing "\" (empty when unknown).
  std::function<std::wstring()> desktopFolder;
  std::function<std::wstring()> roamingAppDataFolder;
  // The folder of the language files.
  std::function<std::wstring()> languageFolder;
  std::function<HINSTANCE(HWND owner, const wchar_t* verb, const wchar_t* file,
                          const wchar_t* parameters, const wchar_t* folder, int show)>
      shellExecute;
  std::function<BOOL(OPENFILENAMEW& dialog)> getSaveFileName;
  std::function<void(const std::wstring& line)> debugLine;
};

// The real ones.
TMainWindowServices RealMainWindowServices();

}  // namespace app
