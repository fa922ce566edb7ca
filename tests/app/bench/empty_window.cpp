// The smallest Win32 program that shows a window: one class, one window of
// the main window's size in its background colour, one message loop. The
// start-up benchmark times it beside the tool, so that the tool's figure
// says what its own start-up adds to what any window costs under the same
// system.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The tool's background colour, so that both are seen painted the same way.
  windowClass.hbrBackground = CreateSolidBrush(RGB(0x0B, 0x0C, 0x12));
  windowClass.lpszClassName = L"BrkEmptyWindow";
  if (!RegisterClassExW(&windowClass)) return 1;

  RECT frame{0, 0, 463, 303};
  AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_APPWINDOW);
  HWND window = CreateWindowExW(WS_EX_APPWINDOW, windowClass.lpszClassName, L"Empty window",
                                WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
