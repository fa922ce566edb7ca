#include "app/UniqueInstance.h"

#include <versionhelpers.h>

namespace {

// The enumeration callback gets no context of its own, so the class it looks
// for is kept here for the duration of the guard.
std::wstring InstanceWindowClass;

constexpr int kClassNameBufferLength = 260;

// Asks the system to let this process set the foreground window by zeroing
// the foreground lock time-out for the moment of the switch, then puts the
// user's setting back.
void ForceWithoutForegroundLock(HWND window) {
  DWORD savedTimeout = 0;
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
  SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
  BringWindowToTop(window);
  SetForegroundWindow(window);
  // The new time-out travels in the pointer argument itself.
  SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                        reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(savedTimeout)),
                        SPIF_SENDCHANGE);
}

}  // namespace

bool ForceForegroundWindow(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  if (window == GetForegroundWindow()) return true;

  // Every Unicode x64 Windows is NT-based with a major version of at least 5,
  // where foreground changes are guarded and need one of the two routes below.
  if (IsWindowsVersionOrGreater(5, 0, 0)) {
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    bool switched = false;
    if (AttachThreadInput(windowThread, foregroundThread, TRUE)) {
      BringWindowToTop(window);
      SetForegroundWindow(window);
      AttachThreadInput(windowThread, foregroundThread, FALSE);
      switched = window == GetForegroundWindow();
    }
    if (!switched) ForceWithoutForegroundLock(window);
  } else {
    BringWindowToTop(window);
    SetForegroundWindow(window);
  }
  return window == GetForegroundWindow();
}

BOOL CALLBACK EnumInstanceWindowsProc(HWND window, LPARAM /*context*/) {
  try {
    wchar_t className[kClassNameBufferLength] = {};
    GetClassNameW(window, className, kClassNameBufferLength);
    if (!InstanceWindowClass.empty() &&
        CompareStringOrdinal(className, -1, InstanceWindowClass.c_str(), -1, TRUE) == CSTR_EQUAL) {
      FlashWindow(window, TRUE);
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      ForceForegroundWindow(window);
    }
  } catch (...) {
    // An enumeration callback must not let an error unwind into the system.
  }
  // Never stop early: every window of the class is brought forward.
  return TRUE;
}

bool CheckUniqueInstance(const std::wstring& mutexName, const std::wstring& windowClass) {
  bool result = true;
  if (mutexName.empty()) return result;
  try {
    // Deliberately never closed: the mutex marks this copy as running until
    // the process ends and the system releases it.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, mutexName.c_str());
    InstanceWindowClass = windowClass;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      ReleaseMutex(mutex);
      EnumWindows(&EnumInstanceWindowsProc, 0);
      result = false;
    }
  } catch (...) {
    // The guard never stops a start because of its own failure.
  }
  return result;
}
