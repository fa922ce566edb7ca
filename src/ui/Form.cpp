#include "ui/Form.h"

#include <string>
#include <utility>

namespace ui {

TForm::TForm(std::wstring className, TComponent* owner)
    : TWinControl(owner), className_(std::move(className)) {
  SetVisible(false);
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csAcceptsControls);
}

TForm::~TForm() {
  // While this object is whole, so that OnDestroy and the loop's end run.
  DestroyHandle();
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | addedStyle_;
  params.ExStyle = WS_EX_APPWINDOW;
  if (transparentColor_) params.ExStyle |= WS_EX_LAYERED;
}

TRect TForm::WindowBounds() const {
  // Centred when it first appears; where it was moved to afterwards.
  return HandleAllocated() ? BoundsRect() : CentredBounds(Width(), Height());
}

TRect TForm::CentredBounds(int width, int height) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + ((work.right - work.left) - width) / 2;
  const int top = work.top + ((work.bottom - work.top) - height) / 2;
  return Bounds(left, top, width, height);
}

bool TForm::CreateHandle() {
  if (!HandleNeeded()) return false;
  if (!created_) {
    created_ = true;
    AdoptScreenDpi();
    if (OnCreate) OnCreate(*this);
  }
  return true;
}

void TForm::HandleCreated() {
  ApplyLayering();
  keyboard_.WindowCreated();
}

void TForm::ApplyLayering() {
  if (!HandleAllocated()) return;
  LONG_PTR ex = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  const LONG_PTR wanted = transparentColor_ ? (ex | WS_EX_LAYERED) : (ex & ~WS_EX_LAYERED);
  if (wanted != ex) SetWindowLongPtrW(Handle(), GWL_EXSTYLE, wanted);
  if (transparentColor_) {
    SetLayeredWindowAttributes(Handle(), ColorToRgb(transparentColorValue_), 0, LWA_COLORKEY);
  }
}

void TForm::SetTransparentColor(bool on) {
  transparentColor_ = on;
  ApplyLayering();
}

void TForm::SetTransparentColorValue(TColor color) {
  transparentColorValue_ = color;
  ApplyLayering();
}

void TForm::AddWindowStyle(DWORD style) {
  addedStyle_ |= style;
  if (!HandleAllocated()) return;
  const LONG_PTR old = GetWindowLongPtrW(Handle(), GWL_STYLE);
  SetWindowLongPtrW(Handle(), GWL_STYLE, old | static_cast<LONG_PTR>(style));
}

void TForm::SetWindowRegion(UniqueRegion region) {
  if (!HandleAllocated()) return;
  if (SetWindowRgn(Handle(), region.get(), TRUE) != 0) region.release();
}

void TForm::Show() {
  if (!CreateHandle()) return;
  SetVisible(true);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  // The keyboard is the window's from the start, as a newly started
  // program's window is on Windows; where the system leaves activation to
  // someone else (Wine without a window manager), the keys would go nowhere.
  SetForegroundWindow(Handle());
  UpdateWindow(Handle());
}

void TForm::Hide() {
  SetVisible(false);
}

void TForm::Close() {
  DestroyHandle();
}

bool TForm::UserSizable() const {
  if (!HandleAllocated()) return false;
  return (GetWindowLongPtrW(Handle(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0;
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; HandleDpiMessage(message, wParam, lParam, result)) return result;
  LRESULT handled = 0;
  if (keyboard_.HandleMessage(message, wParam, lParam, handled) ||
      accessibility_.HandleMessage(message, wParam, lParam, handled)) {
    return handled;
  }
  // A form whose style offers neither a sizing frame nor a maximize box
  // keeps the size the program gives it, however it is asked otherwise:
  // Win+Up, the system menu, edge grips of a skin, another program.
  if (!UserSizable()) {
    switch (message) {
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SIZE || (wParam & 0xFFF0) == SC_MAXIMIZE) return 0;
        break;
      case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = limits->ptMaxTrackSize = limits->ptMaxSize = {Width(), Height()};
        return 0;
      }
      case WM_WINDOWPOSCHANGING: {
        // The program's own changes set Width and Height first.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if ((pos->flags & SWP_NOSIZE) == 0) {
          pos->cx = Width();
          pos->cy = Height();
        }
        break;
      }
      default:
        break;
    }
  }
  if (message == WM_CLOSE) {
    if (!OnCloseQuery || OnCloseQuery(*this)) Close();
    return 0;
  }
  if (message == WM_ENDSESSION && wParam != 0 && OnEndSession) OnEndSession(*this);
  if (message == WM_DESTROY) {
    if (OnDestroy) OnDestroy(*this);
    if (isMainForm_) PostQuitMessage(0);
  }
  return TWinControl::WindowProc(message, wParam, lParam);
}

const TForm* ParentForm(const TControl& control) {
  const TControl* top = &control;
  while (top->Parent() != nullptr) top = top->Parent();
  return dynamic_cast<const TForm*>(top);
}

TForm* ParentForm(TControl& control) {
  return const_cast<TForm*>(ParentForm(std::as_const(control)));
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunMainForm(TForm& form) {
  form.SetMainForm(true);
  if (!form.CreateHandle()) {
    const std::wstring line =
        L"Cannot create the main window, error " + std::to_wstring(GetLastError());
    OutputDebugStringW(line.c_str());
    return 1;
  }
  form.Show();
  return RunMessageLoop();
}

}  // namespace ui
