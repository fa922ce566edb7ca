// A top-level window that stands for one form of the tool: its window class
// is registered under the form's own class name (other copies of the tool
// find the main window by it), it carries its own task-bar button, and it is
// borderless, since the skin draws the frame. The form hosts its window-less
// controls, can key out one colour as see-through, and takes a window region.
// The form owns its window: the window is destroyed with the object.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/AccessibleForm.h"
#include "ui/KeyboardFocus.h"
#include "ui/Picture.h"
#include "ui/UniqueHandle.h"
#include "ui/WinControl.h"

namespace ui {

class TForm : public TWinControl {
 public:
  explicit TForm(std::wstring className, TComponent* owner = nullptr);
  ~TForm() override;

  std::wstring_view ClassName() const override { return className_; }

  // Borderless: the client area is the whole window.
  void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }

  // Pixels of exactly this colour become holes in the window.
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool on);
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor color);

  // Adds window style bits (WS_MAXIMIZEBOX, say): at once when the window
  // exists, else when it is created.
  void AddWindowStyle(DWORD style);

  // Whether the window's style lets the user size or maximize it; when it
  // does not, the form keeps the size the program gives it.
  bool UserSizable() const;

  // The window's visible outline; the window owns the region once set.
  void SetWindowRegion(UniqueRegion region);

  // Creates the window, centred on the primary monitor's work area, hidden,
  // then runs OnCreate. Returns false when the system refuses it.
  bool CreateHandle();
  void Show();
  void Hide();
  // Destroys the window; the main form's closing ends the message loop.
  void Close();

  // The main form ends the message loop when its window is destroyed.
  void SetMainForm(bool isMain) { isMainForm_ = isMain; }

  // --- Screens of any resolution (FormScaling.cpp) -------------------------
  // The resolution the form is drawn for, in dots per inch: the layout's
  // own, 96, until its window learns its screen's (at creation, and when it
  // moves to a screen of another resolution).
  int Dpi() const { return dpi_; }
  // Draws the form for `dpi`: the layout's named pictures again from the
  // picture source, then every control's bounds and fonts scaled (Scale.h).
  // The form keeps its corner, or takes `place` (the system's suggestion for
  // a window that moved to another screen); then OnDpiChanged runs.
  void SetDpi(int dpi, const TRect* place = nullptr);
  // Where the pictures that the layout names come from, for a resolution.
  using TPictureSource = std::function<TPicture(const std::wstring& name, int dpi)>;
  void SetPictureSource(TPictureSource source) { pictureSource_ = std::move(source); }
  // The picture of that name at the form's resolution.
  TPicture NamedPicture(const std::wstring& name) const;
  // Keeps a layout's assignment of a named picture to a property of
  // `target` (or of one of its items), to run again at another resolution.
  void BindPicture(TComponent& target, std::function<void()> assign);
  // The form's size at `dpi`, as the system asks before it moves the window
  // to a screen of that resolution.
  SIZE SizeAtDpi(int dpi) const;
  TNotifyEvent OnDpiChanged;
  // Which control has the keyboard's focus, and what the keys do.
  TKeyboardFocus& Keyboard() { return keyboard_; }
  const TKeyboardFocus& Keyboard() const { return keyboard_; }
  // What screen readers see of the form.
  TAccessibleForm& Accessibility() { return accessibility_; }
  const TAccessibleForm& Accessibility() const { return accessibility_; }

  TNotifyEvent OnCreate;
  // Runs when the window goes. A form class whose handlers use its own
  // members closes the form in its own destructor, while it is still whole.
  TNotifyEvent OnDestroy;
  // Asked when a close is requested (the system menu, Alt+F4, the task
  // bar: WM_CLOSE). Answering false keeps the window; unset, it closes.
  std::function<bool(TComponent& sender)> OnCloseQuery;
  // Runs when Windows ends the session (WM_ENDSESSION): the process may be
  // ended as soon as it returns, so whatever must not be left half done is
  // finished or undone here.
  TNotifyEvent OnEndSession;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  TRect WindowBounds() const override;
  void ChangeScale(int from, int dpi) override;

 private:
  void ApplyLayering();
  // A window of that size centred on the primary monitor's work area.
  static TRect CentredBounds(int width, int height);
  // Takes its screen's resolution once its window exists.
  void AdoptScreenDpi();
  // WM_DPICHANGED and WM_GETDPISCALEDSIZE; true when handled.
  bool HandleDpiMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  struct TPictureBinding {
    std::unique_ptr<TComponentGuard> target;
    std::function<void()> assign;
  };

  std::wstring className_;
  bool isMainForm_ = false;
  bool transparentColor_ = false;
  TColor transparentColorValue_ = clBlack;
  bool created_ = false;
  DWORD addedStyle_ = 0;
  int dpi_ = kDesignDpi;
  const TRect* place_ = nullptr;
  TPictureSource pictureSource_;
  std::vector<TPictureBinding> pictureBindings_;
  TKeyboardFocus keyboard_{*this};
  TAccessibleForm accessibility_{*this};
};

// The form a control is placed on (the control itself if it is one), or
// null.
TForm* ParentForm(TControl& control);
const TForm* ParentForm(const TControl& control);

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Makes `form` the main form, shows it and runs the message loop until it
// closes; returns the loop's exit code. When its window cannot be created,
// returns 1 at once with a debugger line: a process without a window would
// hold the single-instance guard with nothing for the user to close.
int RunMainForm(TForm& form);

}  // namespace ui
