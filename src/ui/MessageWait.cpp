#include "ui/MessageWait.h"

#include <optional>

namespace ui {

namespace {

// The longest a wait sleeps without a message: short enough that done()
// conditions not signalled by a message are still noticed promptly.
constexpr DWORD kWaitSliceMs = 10;

}  // namespace

bool ProcessPendingMessages(int& quitCode) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitCode = static_cast<int>(msg.wParam);
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool WaitAndProcessMessages(DWORD timeoutMs, int& quitCode) {
  // MWMO_INPUTAVAILABLE: wake for messages that are already queued too, not
  // only for those that arrive after the last look at the queue.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return ProcessPendingMessages(quitCode);
}

void ServeSentMessages() {
  MSG msg;
  // Looking at the queue delivers the messages sent from other threads; the
  // filter keeps every posted message where it is.
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void ProcessMessagesUntil(const std::function<bool()>& done) {
  std::optional<int> quitCode;
  while (!done()) {
    if (quitCode) {
      MsgWaitForMultipleObjectsEx(0, nullptr, kWaitSliceMs, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
      ServeSentMessages();
      continue;
    }
    int code = 0;
    if (!WaitAndProcessMessages(kWaitSliceMs, code)) quitCode = code;
  }
  if (quitCode) PostQuitMessage(*quitCode);
}

void WaitServingSentMessages(HANDLE object) {
  while (MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0 + 1) {
    ServeSentMessages();
  }
}

}  // namespace ui
