// A top-level window that stands for one form of the tool: its window class
// is registered under the form's own class name (other copies of the tool
// find the main window by it), it carries its own task-bar button, and it is
// borderless, since the skin draws the frame. The form owns its window: the
// window is destroyed with the object.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class TForm {
 public:
  explicit TForm(std::wstring className);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  const std::wstring& ClassName() const { return className_; }
  HWND Handle() const { return handle_; }

  // Settings that take effect when the window is created (and at once after).
  void SetCaption(const std::wstring& caption);
  const std::wstring& Caption() const { return caption_; }
  void SetClientSize(int width, int height);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }

  // Creates the window, centred on the primary monitor's work area, hidden.
  // Returns false when the system refuses the class or the window.
  bool CreateHandle();
  void Show();

  // The main form ends the message loop when its window is destroyed.
  void SetMainForm(bool isMain) { isMainForm_ = isMain; }

 protected:
  // Messages of the form's window; the default handling is the system's.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool RegisterWindowClass() const;

  std::wstring className_;
  std::wstring caption_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  bool isMainForm_ = false;
  HWND handle_ = nullptr;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace ui
