#include "ui/SystemLibrary.h"

#include <commctrl.h>

namespace ui {

FARPROC SystemProcAddress(const wchar_t* dll, const char* name) {
  HMODULE module = GetModuleHandleW(dll);
  if (module == nullptr) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module == nullptr ? nullptr : GetProcAddress(module, name);
}

bool InitCommonControlClasses(DWORD classes) {
  const auto init =
      SystemFunction<decltype(InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
  if (init == nullptr) return false;
  INITCOMMONCONTROLSEX request{sizeof request, classes};
  return init(&request) != FALSE;
}

}  // namespace ui
