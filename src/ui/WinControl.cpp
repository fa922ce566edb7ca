#include "ui/WinControl.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/UniqueHandle.h"

namespace ui {

namespace {
// The window property under which each of our windows keeps its control;
// a property works for system classes too, whose user data is not ours.
constexpr wchar_t kControlProperty[] = L"BrkControl";
}  // namespace

COLORREF ColorToRgb(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0x00FFFFFF);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  DestroyHandle();
  // Children outlive their parent only as orphans.
  for (TControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  tabOrder_.clear();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return static_cast<TWinControl*>(GetPropW(window, kControlProperty));
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.WindowClass = std::wstring(ClassName());
  params.Caption = Caption();
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
}

bool TWinControl::RegisterWindowClass(const std::wstring& className) const {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, className.c_str(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TWinControl::StaticWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className.c_str();
  return RegisterClassExW(&wc) != 0;
}

bool TWinControl::HandleNeeded() {
  if (handle_ != nullptr) return true;
  if (Parent() != nullptr && !Parent()->HandleNeeded()) return false;
  // Creating the parent's window created its children's, ours among them.
  return handle_ != nullptr || CreateWindowHandle();
}

bool TWinControl::CreateWindowHandle() {
  TCreateParams params;
  CreateParams(params);
  if (!params.SystemClass && !RegisterWindowClass(params.WindowClass)) return false;
  HWND parentWindow = Parent() != nullptr ? Parent()->Handle() : nullptr;
  const TRect r = WindowBounds();
  HWND window = CreateWindowExW(params.ExStyle, params.WindowClass.c_str(), params.Caption.c_str(),
                                params.Style, r.Left, r.Top, r.Width(), r.Height(), parentWindow,
                                nullptr, GetModuleHandleW(nullptr), this);
  if (window == nullptr) return false;
  StoreBounds(r);
  // Own classes attached themselves while being created; system ones now.
  if (handle_ == nullptr) AttachHandle(window);
  for (TControl* child : controls_) {
    auto* windowed = child->IsWindowed() ? static_cast<TWinControl*>(child) : nullptr;
    if (windowed != nullptr && !windowed->HandleAllocated()) windowed->CreateWindowHandle();
  }
  HandleCreated();
  return true;
}

void TWinControl::AttachHandle(HWND window) {
  handle_ = window;
  SetPropW(window, kControlProperty, this);
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  DestroyWindow(handle_);
  // WM_NCDESTROY cleared it for our own classes; system classes end here.
  if (handle_ != nullptr) {
    RemovePropW(handle_, kControlProperty);
    handle_ = nullptr;
  }
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TControl::SetParent(parent);
  if (handle_ == nullptr) {
    if (parent != nullptr && parent->HandleAllocated()) CreateWindowHandle();
  } else {
    ::SetParent(handle_, parent != nullptr ? parent->Handle() : nullptr);
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  if (handle_ != nullptr) {
    const TRect r = WindowBounds();
    SetWindowPos(handle_, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TWinControl::Resized() {
  AlignControls();
  TControl::Resized();
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (handle_ != nullptr) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetCaption(const std::wstring& caption) {
  TControl::SetCaption(caption);
  if (handle_ != nullptr) SetWindowTextW(handle_, Caption().c_str());
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* child : controls_) child->ParentFontChanged();
}

void TWinControl::Invalidate() {
  if (handle_ != nullptr) InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::Repaint() {
  if (handle_ == nullptr) return;
  InvalidateRect(handle_, nullptr, FALSE);
  UpdateWindow(handle_);
}

void TWinControl::InsertControl(TControl& control) {
  if (control.IsWindowed()) {
    controls_.push_back(&control);
  } else {
    // Window-less controls stay below every window.
    controls_.insert(FirstWindowed(), &control);
  }
  tabOrder_.push_back(&control);
  if (control.Align() != alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl& control) {
  if (hover_ == &control) hover_ = nullptr;
  if (capture_ == &control) {
    capture_ = nullptr;
    if (handle_ != nullptr && GetCapture() == handle_) ReleaseCapture();
  }
  std::erase(controls_, &control);
  std::erase(tabOrder_, &control);
  if (control.Align() != alNone) AlignControls();
}

std::vector<TControl*>::iterator TWinControl::FirstWindowed() {
  return std::find_if(controls_.begin(), controls_.end(),
                      [](TControl* c) { return c->IsWindowed(); });
}

void TWinControl::MoveInZOrder(TControl& control, bool toFront) {
  std::erase(controls_, &control);
  const auto firstWindow = FirstWindowed();
  if (control.IsWindowed()) {
    controls_.insert(toFront ? controls_.end() : firstWindow, &control);
    auto& child = static_cast<TWinControl&>(control);
    if (child.handle_ != nullptr) {
      SetWindowPos(child.handle_, toFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  } else {
    controls_.insert(toFront ? firstWindow : controls_.begin(), &control);
  }
  control.Invalidate();
}

void TWinControl::BringToFront() {
  if (Parent() != nullptr) {
    TControl::BringToFront();
  } else if (handle_ != nullptr) {
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TWinControl::SendToBack() {
  if (Parent() != nullptr) TControl::SendToBack();
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->Visible()) continue;
    if (!allowDisabled && !c->Enabled()) continue;
    if (c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

void TWinControl::AlignControls() {
  TRect rest = ClientRect();
  // Each side takes its strip from what the earlier ones left, in this
  // order; the client-aligned ones get what remains.
  for (TAlign side : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != side || !c->Visible()) continue;
      switch (side) {
        case alTop:
          c->SetBounds(rest.Left, rest.Top, rest.Width(), c->Height());
          rest.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(rest.Left, rest.Bottom - c->Height(), rest.Width(), c->Height());
          rest.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(rest.Left, rest.Top, c->Width(), rest.Height());
          rest.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(rest.Right - c->Width(), rest.Top, c->Width(), rest.Height());
          rest.Right -= c->Width();
          break;
        default:
          c->SetBounds(rest.Left, rest.Top, rest.Width(), rest.Height());
          break;
      }
    }
  }
}

void TWinControl::PaintBackground(TCanvas& canvas) {
  canvas.SetBrushColor(Color());
  canvas.FillRect(ClientRect());
}

void TWinControl::PaintWindow(HDC dc) {
  {
    TCanvas canvas(dc);
    canvas.SetFont(Font());
    PaintBackground(canvas);
    Paint(canvas);
  }
  for (TControl* c : controls_) {
    if (c->IsWindowed() || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    {
      TCanvas canvas(dc);
      canvas.SetFont(c->Font());
      c->Paint(canvas);
    }
    RestoreDC(dc, saved);
  }
  PaintKeyboardFocus(dc);
}

void TWinControl::PaintKeyboardFocus(HDC dc) {
  const TForm* form = ParentForm(*this);
  TControl* focused = form != nullptr ? form->Keyboard().CueToPaint() : nullptr;
  if (focused == nullptr || focused->Parent() != this) return;
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, focused->Left(), focused->Top(), nullptr);
  {
    TCanvas canvas(dc);
    focused->PaintFocusCue(canvas);
  }
  RestoreDC(dc, saved);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  IntersectClipRect(dc, 0, 0, Width(), Height());
  PaintWindow(dc);
  for (TControl* c : controls_) {
    if (c->IsWindowed() && c->Visible()) {
      static_cast<TWinControl*>(c)->PaintTo(dc, c->Left(), c->Top());
    }
  }
  RestoreDC(dc, saved);
}

void TWinControl::PaintHandler() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(handle_, &ps);
  if (dc == nullptr) return;
  if (!doubleBuffered_) {
    PaintWindow(dc);
  } else {
    const TRect area{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    UniqueBitmap buffer(
        CreateCompatibleBitmap(dc, std::max(area.Width(), 1), std::max(area.Height(), 1)));
    if (memory && buffer) {
      HGDIOBJ old = SelectObject(memory.get(), buffer.get());
      SetViewportOrgEx(memory.get(), -area.Left, -area.Top, nullptr);
      PaintWindow(memory.get());
      SetViewportOrgEx(memory.get(), 0, 0, nullptr);
      BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), memory.get(), 0, 0, SRCCOPY);
      SelectObject(memory.get(), old);
    } else {
      PaintWindow(dc);
    }
  }
  EndPaint(handle_, &ps);
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills the background itself, without flicker
    case WM_PAINT:
      PaintHandler();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      // Moves and sizes by the system (a drag, a resize from the frame)
      // become the control's bounds; the ones we asked for change nothing.
      RECT r{};
      GetWindowRect(handle_, &r);
      if (HWND parent = GetParent(handle_); parent != nullptr && Parent() != nullptr) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
      }
      StoreBounds({r.left, r.top, r.right, r.bottom});
      break;
    }
    case WM_PRINTCLIENT:
      PaintWindow(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == handle_ && LOWORD(lParam) == HTCLIENT &&
          HandleSetCursor()) {
        return TRUE;
      }
      break;
    case WM_COMMAND:
    case WM_NOTIFY: {
      HWND from = message == WM_COMMAND ? reinterpret_cast<HWND>(lParam)
                                        : reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
      TWinControl* child = from != nullptr ? FromHandle(from) : nullptr;
      LRESULT result = 0;
      if (child != nullptr && child != this &&
          child->Notification(message, wParam, lParam, result)) {
        return result;
      }
      break;
    }
    default:
      if (HandleMouseMessage(message, wParam, lParam)) return 0;
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control =
        static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    control->AttachHandle(window);
  }
  TWinControl* control = FromHandle(window);
  if (control == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  // No exception may unwind through the system's code that called us.
  try {
    result = control->WindowProc(message, wParam, lParam);
  } catch (...) {
    OutputDebugStringW(L"Unhandled error in a window procedure");
    result = DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kControlProperty);
    control->handle_ = nullptr;
  }
  return result;
}

}  // namespace ui
