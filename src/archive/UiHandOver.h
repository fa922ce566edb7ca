// The hand-over from a worker thread to the user-interface thread, in two
// kinds. Run passes a piece of work and waits until the user-interface
// thread has run it; it runs while that thread handles its messages (any
// message loop or wait that serves messages sent from other threads), so
// callbacks that touch windows run on the thread that owns them and never
// beside it. Notify does not wait: it asks the user-interface thread to run
// the handler given at construction when its message loop comes to it, and
// a worker that only reports progress so never waits for the window.
#pragma once

#include <functional>

#include "ui/UniqueHandle.h"

namespace archive {

class TUiHandOver {
 public:
  // Binds the hand-over to the calling thread, which then runs the work and
  // onNotify.
  explicit TUiHandOver(std::function<void()> onNotify = {});
  TUiHandOver(const TUiHandOver&) = delete;
  TUiHandOver& operator=(const TUiHandOver&) = delete;

  // Runs work on the bound thread and returns when it has run there. On the
  // bound thread itself it runs at once; it does not run when the
  // hand-over could not be set up (reported when it was made). An exception that work throws is
  // reported to the debugger output and goes no further.
  void Run(const std::function<void()>& work) const;
  // Posts a request to run onNotify on the bound thread and returns at
  // once. A request still queued when the hand-over is destroyed is
  // dropped. Any thread may call it.
  void Notify() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RunGuarded(const std::function<void()>& work);

  DWORD ownerThread_;
  std::function<void()> onNotify_;
  ui::UniqueWindow window_;
};

}  // namespace archive
