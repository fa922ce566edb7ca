// Starts the real tool twice and watches what the second start does to the
// first copy's window, asking the window system itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "ui/UniqueHandle.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"TfrmBRKPortable";

std::wstring ToolPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"BRKPortable.exe";
}

struct Process {
  ui::UniqueKernelHandle handle;
  DWORD id = 0;
};

Process Start(const std::wstring& exe) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  Process p;
  if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &si, &pi)) {
    CloseHandle(pi.hThread);
    p.handle.reset(pi.hProcess);
    p.id = pi.dwProcessId;
  }
  return p;
}

struct WindowCount {
  DWORD processId;
  int total = 0;
  int ofProcess = 0;
  HWND window = nullptr;
};

BOOL CALLBACK CountMainWindows(HWND window, LPARAM context) {
  auto* count = reinterpret_cast<WindowCount*>(context);
  wchar_t className[260] = {};
  GetClassNameW(window, className, 260);
  if (lstrcmpiW(className, kMainWindowClass) == 0) {
    ++count->total;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->processId) {
      ++count->ofProcess;
      count->window = window;
    }
  }
  return TRUE;
}

WindowCount CountWindows(DWORD processId) {
  WindowCount count{processId};
  EnumWindows(&CountMainWindows, reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND WaitForMainWindow(DWORD processId) {
  for (int i = 0; i < 200; ++i) {
    WindowCount count = CountWindows(processId);
    if (count.window != nullptr && IsWindowVisible(count.window)) return count.window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

TEST(SingleInstance, SecondStartBringsTheMinimisedFirstWindowForwardAndEnds) {
  Process first = Start(ToolPath());
  ASSERT_TRUE(first.handle) << "cannot start " << std::string(ToolPath().begin(), ToolPath().end());
  HWND window = WaitForMainWindow(first.id);
  ASSERT_NE(window, nullptr);

  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"Brightkeep Portable");
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 463);
  EXPECT_EQ(client.bottom, 303);

  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window));

  const auto started = std::chrono::steady_clock::now();
  Process second = Start(ToolPath());
  ASSERT_TRUE(second.handle);
  ASSERT_EQ(WaitForSingleObject(second.handle.get(), 10000), WAIT_OBJECT_0);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  DWORD exitCode = 1;
  GetExitCodeProcess(second.handle.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_LT(seconds, 5.0);

  // The second copy opened no window of its own; the first is back in front.
  EXPECT_EQ(CountWindows(first.id).total, 1);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(GetForegroundWindow(), window);

  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(first.handle.get(), 10000) != WAIT_OBJECT_0) {
    TerminateProcess(first.handle.get(), 1);
    ADD_FAILURE() << "the first copy did not end when its window was closed";
  }
  DWORD firstExit = 1;
  GetExitCodeProcess(first.handle.get(), &firstExit);
  EXPECT_EQ(firstExit, 0u);
}

}  // namespace
