// The blocking hand-over from a worker thread to the user-interface thread:
// the worker passes a piece of work and waits until the user-interface
// thread has run it. The work runs while that thread handles its messages
// (any message loop or wait that serves messages sent from other threads),
// so callbacks that touch windows run on the thread that owns them and
// never beside it.
#pragma once

#include <functional>

#include "ui/UniqueHandle.h"

namespace archive {

class TUiHandOver {
 public:
  // Binds the hand-over to the calling thread, which then runs the work.
  TUiHandOver();
  TUiHandOver(const TUiHandOver&) = delete;
  TUiHandOver& operator=(const TUiHandOver&) = delete;

  // Runs work on the bound thread and returns when it has run there. On the
  // bound thread itself it runs at once; it does not run when the
  // hand-over could not be set up (reported when it was made). An exception that work throws is
  // reported to the debugger output and goes no further.
  void Run(const std::function<void()>& work) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RunGuarded(const std::function<void()>& work);

  DWORD ownerThread_;
  ui::UniqueWindow window_;
};

}  // namespace archive
