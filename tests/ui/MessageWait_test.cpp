#include "ui/MessageWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/UniqueHandle.h"

namespace {

std::atomic<int> handled = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ++handled;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window on the calling thread that counts WM_APP.
ui::UniqueWindow CountingWindow() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BrkMessageWaitTest";
  RegisterClassExW(&wc);
  return ui::UniqueWindow(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, wc.hInstance, nullptr));
}

TEST(ProcessMessagesUntil, ServesPostedAndSentMessagesUntilDone) {
  handled = 0;
  ui::UniqueWindow window = CountingWindow();
  ASSERT_TRUE(window);
  PostMessageW(window.get(), WM_APP, 0, 0);
  std::thread sender([hwnd = window.get()] {
    // Blocks until the waiting thread has handled it.
    for (int i = 0; i < 3; ++i) SendMessageW(hwnd, WM_APP, 0, 0);
  });
  ui::ProcessMessagesUntil([] { return handled == 4; });
  sender.join();
  EXPECT_EQ(handled, 4);
}

TEST(ProcessMessagesUntil, HoldsBackAQuitRequestButStillServesSentMessages) {
  handled = 0;
  ui::UniqueWindow window = CountingWindow();
  ASSERT_TRUE(window);
  PostQuitMessage(7);
  std::thread sender([hwnd = window.get()] {
    Sleep(50);
    SendMessageW(hwnd, WM_APP, 0, 0);
  });
  ui::ProcessMessagesUntil([] { return handled == 1; });
  sender.join();

  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(WaitServingSentMessages, ServesTheWorkerUntilItEnds) {
  handled = 0;
  ui::UniqueWindow window = CountingWindow();
  ASSERT_TRUE(window);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ui::UniqueKernelHandle event(finished);
  std::thread worker([hwnd = window.get(), finished] {
    SendMessageW(hwnd, WM_APP, 0, 0);
    SendMessageW(hwnd, WM_APP, 0, 0);
    SetEvent(finished);
  });
  ui::WaitServingSentMessages(finished);
  worker.join();
  EXPECT_EQ(handled, 2);
}

}  // namespace
