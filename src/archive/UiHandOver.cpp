#include "archive/UiHandOver.h"

#include <exception>
#include <string>

namespace archive {

namespace {

constexpr wchar_t kWindowClass[] = L"BrkUiHandOver";
constexpr UINT kRunWorkMessage = WM_APP + 1;

}  // namespace

TUiHandOver::TUiHandOver() : ownerThread_(GetCurrentThreadId()) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, kWindowClass, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TUiHandOver::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
  }
  // A message-only window: it receives the work but is never shown, takes
  // no part in window enumeration and gets no broadcasts.
  window_.reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr));
  if (!window_) OutputDebugStringW(L"Hand-over window could not be created");
}

void TUiHandOver::Run(const std::function<void()>& work) const {
  if (GetCurrentThreadId() == ownerThread_) {
    RunGuarded(work);
    return;
  }
  // Without its window the work cannot reach the owner's thread; running
  // it here instead would touch windows from the wrong thread.
  if (!window_) return;
  SendMessageW(window_.get(), kRunWorkMessage, 0, reinterpret_cast<LPARAM>(&work));
}

void TUiHandOver::RunGuarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    std::string what = e.what();
    OutputDebugStringW(
        (L"Hand-over work failed: " + std::wstring(what.begin(), what.end())).c_str());
  } catch (...) {
    OutputDebugStringW(L"Hand-over work failed");
  }
}

LRESULT CALLBACK TUiHandOver::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunWorkMessage) {
    RunGuarded(*reinterpret_cast<const std::function<void()>*>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace archive
