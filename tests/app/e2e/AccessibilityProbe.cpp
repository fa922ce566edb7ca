// A screen reader's view of the running tool, for the end-to-end tests: it
// finds the tool's window by its class, reaches its accessible object from
// another process as readers do (AccessibleObjectFromWindow), and prints
// what it finds, one tab-separated line per object, in UTF-8.
//
//   walk               the client area, then each child: id, role, name,
//                      state (hex), value, screen rectangle, default action
//   press <name>       the default action of the child of that name
//   watch <ms>         prints the focus, name and value events of the
//                      tool's window until it is gone or <ms> have passed
//   hold               takes the object, waits until the window is gone,
//                      then prints what a call on the object answers
//
// Exit code 0 when the tool's window and its object were found (and, for
// press, the child and its action), else 1.
#include <oleacc.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written,
            nullptr);
}

std::wstring Hex(long value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%lx", static_cast<unsigned long>(value));
  return text;
}

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The text one of the object's getters gives, or empty.
template <typename Getter>
std::wstring Read(Getter get) {
  BSTR text = nullptr;
  const HRESULT hr = get(&text);
  std::wstring result = SUCCEEDED(hr) && text != nullptr ? std::wstring(text) : std::wstring();
  SysFreeString(text);
  return result;
}

std::wstring Name(IAccessible& object, long id) {
  return Read([&](BSTR* text) { return object.get_accName(Child(id), text); });
}

std::wstring Describe(IAccessible& object, long id) {
  const VARIANT child = Child(id);
  VARIANT role;
  VariantInit(&role);
  VARIANT state;
  VariantInit(&state);
  object.get_accRole(child, &role);
  object.get_accState(child, &state);
  const std::wstring valueText = Read([&](BSTR* text) { return object.get_accValue(child, text); });
  const std::wstring actionText =
      Read([&](BSTR* text) { return object.get_accDefaultAction(child, text); });
  long left = 0, top = 0, width = 0, height = 0;
  object.accLocation(&left, &top, &width, &height, child);
  return std::to_wstring(id) + L"\t" + Hex(role.vt == VT_I4 ? role.lVal : -1) + L"\t" +
         Name(object, id) + L"\t" + Hex(state.vt == VT_I4 ? state.lVal : -1) + L"\t" + valueText +
         L"\t" + std::to_wstring(left) + L"," + std::to_wstring(top) + L"," +
         std::to_wstring(width) + L"," + std::to_wstring(height) + L"\t" + actionText;
}

HWND ToolWindow() {
  return FindWindowW(L"TfrmBRKPortable", nullptr);
}

IAccessible* ClientObject(HWND window) {
  IAccessible* object = nullptr;
  if (window == nullptr ||
      FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return object;
}

int Walk(IAccessible& object) {
  long count = 0;
  object.get_accChildCount(&count);
  Print(Describe(object, CHILDID_SELF));
  // The ids as the standard enumeration gives them.
  std::vector<VARIANT> children(static_cast<std::size_t>(count));
  long obtained = 0;
  if (count > 0 && SUCCEEDED(AccessibleChildren(&object, 0, count, children.data(), &obtained))) {
    for (long i = 0; i < obtained; ++i) {
      if (children[i].vt == VT_I4) Print(Describe(object, children[i].lVal));
      VariantClear(&children[i]);
    }
  }
  return 0;
}

int Press(IAccessible& object, const std::wstring& name) {
  long count = 0;
  object.get_accChildCount(&count);
  for (long id = 1; id <= count; ++id) {
    if (Name(object, id) != name) continue;
    const HRESULT hr = object.accDoDefaultAction(Child(id));
    Print(L"pressed\t" + Hex(hr));
    return SUCCEEDED(hr) ? 0 : 1;
  }
  Print(L"no child named " + name);
  return 1;
}

HWND gWatched = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD,
                      DWORD) {
  if (window != gWatched || objectId != OBJID_CLIENT) return;
  const wchar_t* kind = event == EVENT_OBJECT_FOCUS         ? L"focus"
                        : event == EVENT_OBJECT_NAMECHANGE  ? L"name"
                        : event == EVENT_OBJECT_VALUECHANGE ? L"value"
                                                            : nullptr;
  if (kind == nullptr) return;
  IAccessible* object = nullptr;
  VARIANT child;
  VariantInit(&child);
  std::wstring name;
  std::wstring value;
  if (SUCCEEDED(AccessibleObjectFromEvent(window, objectId, childId, &object, &child))) {
    name = Read([&](BSTR* text) { return object->get_accName(child, text); });
    value = Read([&](BSTR* text) { return object->get_accValue(child, text); });
    object->Release();
  }
  Print(std::wstring(kind) + L"\t" + std::to_wstring(childId) + L"\t" + name + L"\t" + value);
}

int Watch(HWND window, DWORD ms) {
  gWatched = window;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr,
                                       OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) return 1;
  Print(L"ready");
  const DWORD end = GetTickCount() + ms;
  while (IsWindow(window) && static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  UnhookWinEvent(hook);
  Print(L"end");
  return 0;
}

int Hold(IAccessible& object, HWND window) {
  Print(L"held");
  while (IsWindow(window)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(50);
  }
  long count = 0;
  const HRESULT hr = object.get_accChildCount(&count);
  Print(L"after\t" + Hex(hr));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring mode = argv[1];
  const HWND window = ToolWindow();
  IAccessible* object = ClientObject(window);
  int result = 1;
  if (object == nullptr) {
    Print(window == nullptr ? L"no window" : L"no accessible object");
  } else if (mode == L"walk") {
    result = Walk(*object);
  } else if (mode == L"press" && argc == 3) {
    result = Press(*object, argv[2]);
  } else if (mode == L"watch" && argc == 3) {
    result = Watch(window, static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  } else if (mode == L"hold") {
    result = Hold(*object, window);
  }
  if (object != nullptr) object->Release();
  CoUninitialize();
  return result;
}
