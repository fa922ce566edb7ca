// A control with a window of its own, and the host of the window-less
// controls placed on it: it paints them on its surface in z-order (later
// above earlier) and routes the mouse to them (entry and exit, presses with
// capture, click on release inside, double-click). Windowed children lie
// above all window-less ones. It also places children that carry an Align.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

// What a windowed control asks of the system when its window is created.
struct TCreateParams {
  // A class of our own is registered under this name (with our window
  // procedure); a system class ("BUTTON", ...) is used as it is.
  std::wstring WindowClass;
  bool SystemClass = false;
  DWORD Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  DWORD ExStyle = 0;
  std::wstring Caption;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;

  std::wstring_view ClassName() const override { return L"TWinControl"; }
  bool IsWindowed() const override { return true; }

  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Creates the window (and its parent's first) when it can; returns
  // whether a window exists afterwards.
  bool HandleNeeded();
  void DestroyHandle();

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetCaption(const std::wstring& caption) override;
  void BringToFront() override;
  void SendToBack() override;
  void Invalidate() override;
  void Repaint() override;

  // Child controls in z-order, lowest first: window-less ones, then windows.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }
  // The same controls in the order they were placed, which z-order changes
  // leave alone: the keyboard's Tab order and the readers' order.
  const std::vector<TControl*>& ControlsInTabOrder() const { return tabOrder_; }

  // Paint off-screen first, then copy, so nothing flickers.
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }

  // Paints the control, its window-less children and its windowed children
  // into `dc` with the control's top-left corner at (x, y).
  void PaintTo(HDC dc, int x, int y);

  // The topmost visible window-less child under a client point; disabled
  // ones count only when `allowDisabled`.
  TControl* ControlAtPos(TPoint p, bool allowDisabled) const;

  // Places the children that carry an Align inside the client area.
  void AlignControls();

  // Scales itself, then its children (ControlScaling.cpp).
  void ChangeScale(int from, int dpi) override;
  void LayoutAfterScaling() override;

  // The control of one of our windows, or null.
  static TWinControl* FromHandle(HWND window);

 protected:
  virtual void CreateParams(TCreateParams& params);
  // Runs once the window exists (children's windows included).
  virtual void HandleCreated() {}
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // A notification (WM_COMMAND, WM_NOTIFY) that our parent received from
  // our window; true when handled.
  virtual bool Notification(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                            LRESULT& /*result*/) {
    return false;
  }
  // Paints the window's own surface: the background, then Paint(), then
  // the window-less children.
  void PaintWindow(HDC dc);
  virtual void PaintBackground(TCanvas& canvas);
  void Resized() override;
  void FontChanged() override;
  // Created where on screen; children answer their place in the parent.
  virtual TRect WindowBounds() const { return BoundsRect(); }
  // Every child follows the scale; the aligned ones are placed again.
  void ScaleChildren(int from, int dpi);

 private:
  friend class TControl;
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool RegisterWindowClass(const std::wstring& className) const;
  bool CreateWindowHandle();
  void AttachHandle(HWND window);
  void InsertControl(TControl& control);
  void RemoveControl(TControl& control);
  void MoveInZOrder(TControl& control, bool toFront);
  // Where the windowed children begin: the window-less ones lie before it.
  std::vector<TControl*>::iterator FirstWindowed();
  void PaintHandler();
  // The focused control's cue, above all window-less controls.
  void PaintKeyboardFocus(HDC dc);

  // Mouse routing (WinControlMouse.cpp).
  bool HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleSetCursor();
  // The control under a client point (disabled ones too), or this host.
  TControl* TargetAt(TPoint p);
  // The same, or null when that control is disabled.
  TControl* EnabledTargetAt(TPoint p);
  void UpdateHover(TControl* control);
  void ButtonDown(TMouseButton button, TPoint p, TShiftState shift, bool doubleClick);
  void ButtonUp(TMouseButton button, TPoint p, TShiftState shift);
  void TrackLeave();

  HWND handle_ = nullptr;
  std::vector<TControl*> controls_;
  std::vector<TControl*> tabOrder_;
  bool doubleBuffered_ = false;
  TControl* hover_ = nullptr;
  TControl* capture_ = nullptr;
  // Counts the mouse messages handled, so that a release can tell whether
  // a nested message loop in its click handled later ones.
  unsigned mouseMessages_ = 0;
  TMouseButton captureButton_ = mbLeft;
  bool clickPending_ = false;
  bool trackingLeave_ = false;
};

// A windowed control that paints itself through Paint().
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner = nullptr) : TWinControl(owner) {}
  std::wstring_view ClassName() const override { return L"TCustomControl"; }
};

// Converts a colour (system colours included) to the platform's RGB value.
COLORREF ColorToRgb(TColor color);

}  // namespace ui
