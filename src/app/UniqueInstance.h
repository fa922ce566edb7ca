// One running copy of the tool per user logon. The first start holds a named
// mutex until its process ends; a later start finds the first copy's main
// window by its window class, brings it to the front and tells its caller to
// end without creating a window. The guard never fails a start: when it
// cannot decide, the start runs.
#pragma once

#include <windows.h>

#include <string>

// True: this start may run (no other copy, or the guard could not tell).
// False: another copy runs and has been asked to come to the front.
// An empty mutex name disables the guard.
bool CheckUniqueInstance(const std::wstring& mutexName, const std::wstring& windowClass);

// EnumWindows callback: flashes, restores and activates every top-level
// window whose class name equals the guarded class, ignoring letter case.
BOOL CALLBACK EnumInstanceWindowsProc(HWND window, LPARAM context);

// Makes a window (as a rule one of another process) the foreground window;
// returns whether it is the foreground window afterwards.
bool ForceForegroundWindow(HWND window);
