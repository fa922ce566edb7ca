#include "ui/ScreenDpi.h"

#include "ui/Scale.h"
#include "ui/SystemLibrary.h"
#include "ui/UniqueHandle.h"

namespace ui {

namespace {

// MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI: the resolution the user chose.
constexpr int kEffectiveDpi = 0;

bool Plausible(UINT dpi) {
  return dpi > 0 && dpi < 10000;
}

}  // namespace

const TDpiFunctions& SystemDpiFunctions() {
  static const TDpiFunctions functions = [] {
    TDpiFunctions f;
    f.getDpiForWindow = reinterpret_cast<decltype(f.getDpiForWindow)>(
        reinterpret_cast<void (*)()>(SystemProcAddress(L"user32.dll", "GetDpiForWindow")));
    if (f.getDpiForWindow == nullptr) {
      f.getDpiForMonitor = reinterpret_cast<decltype(f.getDpiForMonitor)>(
          reinterpret_cast<void (*)()>(SystemProcAddress(L"shcore.dll", "GetDpiForMonitor")));
    }
    return f;
  }();
  return functions;
}

int WindowDpi(HWND window, const TDpiFunctions& functions) {
  if (functions.getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = functions.getDpiForWindow(window); Plausible(dpi))
      return static_cast<int>(dpi);
  }
  if (functions.getDpiForMonitor != nullptr) {
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0;
    UINT y = 0;
    if (monitor != nullptr &&
        SUCCEEDED(functions.getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && Plausible(x)) {
      return static_cast<int>(x);
    }
  }
  UniqueScreenDc screen(GetDC(nullptr));
  const int system = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return Plausible(static_cast<UINT>(system)) ? system : kDesignDpi;
}

}  // namespace ui
