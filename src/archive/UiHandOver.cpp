#include "archive/UiHandOver.h"

#include <exception>
#include <string>
#include <utility>

namespace archive {

namespace {

constexpr wchar_t kWindowClass[] = L"BrkUiHandOver";
constexpr UINT kRunWorkMessage = WM_APP + 1;
constexpr UINT kNotifyMessage = WM_APP + 2;

}  // namespace

TUiHandOver::TUiHandOver(std::function<void()> onNotify)
    : ownerThread_(GetCurrentThreadId()), onNotify_(std::move(onNotify)) {
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
  if (!window_) {
    OutputDebugStringW(L"Hand-over window could not be created");
    return;
  }
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TUiHandOver::Notify() const {
  if (window_) PostMessageW(window_.get(), kNotifyMessage, 0, 0);
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
  if (message == kNotifyMessage) {
    const auto* self =
        reinterpret_cast<const TUiHandOver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->onNotify_) RunGuarded(self->onNotify_);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace archive
