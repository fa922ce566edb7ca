#include "app/UniqueInstance.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring UniqueName(const wchar_t* stem) {
  return std::wstring(stem) + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(GetTickCount64());
}

// A plain top-level window of a class registered under a given name.
class TestWindow {
 public:
  explicit TestWindow(const std::wstring& className) : className_(className) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className_.c_str();
    RegisterClassExW(&wc);
    window_ =
        CreateWindowExW(WS_EX_APPWINDOW, className_.c_str(), L"guard test", WS_OVERLAPPEDWINDOW, 10,
                        10, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
  }
  ~TestWindow() {
    DestroyWindow(window_);
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
  }
  HWND get() const { return window_; }

 private:
  std::wstring className_;
  HWND window_ = nullptr;
};

TEST(CheckUniqueInstance, EmptyMutexNameDisablesTheGuard) {
  EXPECT_TRUE(CheckUniqueInstance(L"", L"AnyClass"));
  EXPECT_TRUE(CheckUniqueInstance(L"", L"AnyClass"));
}

TEST(CheckUniqueInstance, FirstStartRunsAndLaterStartsDoNot) {
  const std::wstring mutexName = UniqueName(L"BRK_guard_test_");
  EXPECT_TRUE(CheckUniqueInstance(mutexName, L"NoSuchWindowClass"));
  // No window of the class exists: nothing is activated, the start still ends.
  EXPECT_FALSE(CheckUniqueInstance(mutexName, L"NoSuchWindowClass"));
  EXPECT_FALSE(CheckUniqueInstance(mutexName, L"NoSuchWindowClass"));
}

TEST(CheckUniqueInstance, SecondStartRestoresAMinimisedWindowWhateverTheCaseOfItsClass) {
  const std::wstring className = UniqueName(L"brk_lower_case_class_");
  std::wstring upperClassName = className;
  CharUpperW(upperClassName.data());
  TestWindow window(className);
  ASSERT_NE(window.get(), nullptr);
  ShowWindow(window.get(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window.get()));

  const std::wstring mutexName = UniqueName(L"BRK_guard_case_");
  ASSERT_TRUE(CheckUniqueInstance(mutexName, upperClassName));
  EXPECT_FALSE(CheckUniqueInstance(mutexName, upperClassName));

  EXPECT_FALSE(IsIconic(window.get()));
  EXPECT_EQ(GetForegroundWindow(), window.get());
}

TEST(ForceForegroundWindow, BringsAWindowToTheFrontAndLeavesTheLockTimeOutAsItWas) {
  DWORD before = 0;
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &before, 0);
  TestWindow first(UniqueName(L"brk_first_"));
  TestWindow second(UniqueName(L"brk_second_"));
  SetForegroundWindow(second.get());

  EXPECT_TRUE(ForceForegroundWindow(first.get()));
  EXPECT_EQ(GetForegroundWindow(), first.get());

  DWORD after = 0;
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0);
  EXPECT_EQ(after, before);
}

}  // namespace
