// Which resolution (dots per inch) a window's screen has. Windows 10 (1607
// and later) answers for each window; Windows 8.1 for each monitor; Windows
// 7 knows one resolution for the whole system. The newer calls are looked
// up at run time, each missing one falling back to the older, so that the
// same program runs on all three (and under Wine, which has them all).
#pragma once

#include <windows.h>

namespace ui {

// The calls that answer, each null where the system lacks it.
struct TDpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND window) = nullptr;  // user32, Windows 10 1607
  // shcore's GetDpiForMonitor with MDT_EFFECTIVE_DPI, Windows 8.1.
  HRESULT(WINAPI* getDpiForMonitor)(HMONITOR monitor, int kind, UINT* x, UINT* y) = nullptr;
};

// The system's own, looked up once: user32's at the first call, shcore's
// only when user32 has no answer (shcore is then loaded).
const TDpiFunctions& SystemDpiFunctions();

// The resolution of the screen `window` is on: the window's own, else its
// monitor's, else the system's (LOGPIXELSX of the screen); 96 when nothing
// answers.
int WindowDpi(HWND window, const TDpiFunctions& functions = SystemDpiFunctions());

// The messages a per-monitor aware window hears when its resolution
// changes; named here because the headers define them only for Windows
// versions newer than the one the program is built for.
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

}  // namespace ui
