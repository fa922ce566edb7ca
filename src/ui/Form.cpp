#include "ui/Form.h"

#include <utility>

namespace ui {

TForm::TForm(std::wstring className) : className_(std::move(className)) {}

TForm::~TForm() {
  if (handle_ != nullptr) {
    // The window outlives no form: detach first so that messages sent while
    // it is destroyed no longer reach a half-destroyed object.
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

void TForm::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (handle_ != nullptr) SetWindowTextW(handle_, caption_.c_str());
}

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  if (handle_ != nullptr) {
    SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool TForm::RegisterWindowClass() const {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, className_.c_str(), &existing)) return true;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TForm::StaticWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className_.c_str();
  return RegisterClassExW(&wc) != 0;
}

bool TForm::CreateHandle() {
  if (handle_ != nullptr) return true;
  if (!RegisterWindowClass()) return false;

  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // Borderless: the client area is the whole window.
  const int left = work.left + ((work.right - work.left) - clientWidth_) / 2;
  const int top = work.top + ((work.bottom - work.top) - clientHeight_) / 2;

  HWND window = CreateWindowExW(WS_EX_APPWINDOW, className_.c_str(), caption_.c_str(),
                                WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, left, top,
                                clientWidth_, clientHeight_, nullptr, nullptr,
                                GetModuleHandleW(nullptr), this);
  return window != nullptr;
}

void TForm::Show() {
  if (!CreateHandle()) return;
  ShowWindow(handle_, SW_SHOWNORMAL);
  UpdateWindow(handle_);
}

LRESULT TForm::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && isMainForm_) PostQuitMessage(0);
  return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  // No exception may unwind through the system's code that called us.
  try {
    result = form->WindowProc(message, wParam, lParam);
  } catch (...) {
    OutputDebugStringW(L"Unhandled error in a window procedure");
    result = DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form->handle_ = nullptr;
  }
  return result;
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace ui
