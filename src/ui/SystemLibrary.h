// System DLLs whose one use is rare are loaded at that use, not at start:
// importing them makes every start load and initialise them first (under
// Wine the common controls alone take tens of milliseconds before the window
// can show), while the tree and list views and the save dialog may never be
// used at all. A DLL is looked for in the system folder only, never beside
// the program or in the current folder, and stays loaded once it is.
#pragma once

#include <windows.h>

namespace ui {

// The address of `name` in the system DLL `dll`; null when either is missing.
FARPROC SystemProcAddress(const wchar_t* dll, const char* name);

// The same as a pointer of the function's own type, e.g.
// SystemFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW").
template <typename Function>
Function* SystemFunction(const wchar_t* dll, const char* name) {
  // Through the generic function type, the one cast between function types
  // that says it is meant.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(SystemProcAddress(dll, name)));
}

// Registers the common-control window classes `classes` (ICC_* flags) before
// a window of one of them is made; false when the common controls are missing.
bool InitCommonControlClasses(DWORD classes);

}  // namespace ui
