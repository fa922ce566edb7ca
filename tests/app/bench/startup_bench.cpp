// Times programs from their start to their first painted window, under the
// same system and in turns, so that the figures compare:
//
// startup_bench <runs> <x> <y> (<colour RRGGBB> <program>)...
//   For each program, <runs> times (after one run that is not counted, which
//   loads the program's files into the system's cache): start it, wait until
//   a visible top-level window of its process has no part left to paint and
//   the screen shows the program's <colour> at client point (<x>, <y>) of
//   that window, then close it. Prints per program:
//     <name>: median_ms=<ms> min_ms=<ms> max_ms=<ms> runs=<n>
//   and exits with 1 when a program showed no painted window within 20 s.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPaintLimitMs = 20000;
constexpr DWORD kCloseLimitMs = 5000;

struct Target {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM context) {
  auto* target = reinterpret_cast<Target*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == target->process && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == nullptr) {
    target->window = window;
    return FALSE;
  }
  return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// What the screen shows at a client point of a window.
COLORREF ScreenColour(HWND window, int x, int y) {
  POINT point{x, y};
  if (!ClientToScreen(window, &point)) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  const COLORREF seen = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return seen;
}

// Painted: nothing of the window waits for WM_PAINT any more, and the screen
// shows what the window paints there (an empty update region alone would
// also hold before the first paint of a window that was never invalidated).
bool Painted(HWND window, int x, int y, COLORREF colour) {
  return !GetUpdateRect(window, nullptr, FALSE) && ScreenColour(window, x, y) == colour;
}

// One start: the milliseconds to the painted window, or a negative value.
double TimeOneStart(const std::wstring& program, int x, int y, COLORREF colour) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return -1;
  }
  double elapsed = -1;
  Target target{process.dwProcessId, nullptr};
  for (;;) {
    QueryPerformanceCounter(&now);
    if (Milliseconds(start, now) > kPaintLimitMs) break;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    if (!target.window) EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&target));
    if (target.window && Painted(target.window, x, y, colour)) {
      elapsed = Milliseconds(start, now);
      break;
    }
    Sleep(1);
  }
  if (elapsed < 0) {
    if (target.window) {
      const COLORREF seen = ScreenColour(target.window, x, y);
      std::fwprintf(
          stderr, L"%ls: the window shows %02X%02X%02X at (%d, %d)%ls\n", program.c_str(),
          GetRValue(seen), GetGValue(seen), GetBValue(seen), x, y,
          GetUpdateRect(target.window, nullptr, FALSE) ? L", with parts still to paint" : L"");
    } else {
      std::fwprintf(stderr, L"%ls: no visible window\n", program.c_str());
    }
  }
  if (target.window) PostMessageW(target.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kCloseLimitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kCloseLimitMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6 || (argc - 4) % 2 != 0) {
    std::fwprintf(stderr, L"usage: startup_bench <runs> <x> <y> (<RRGGBB> <program>)...\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  const int x = _wtoi(argv[2]);
  const int y = _wtoi(argv[3]);
  std::vector<std::wstring> programs;
  std::vector<COLORREF> colours;
  for (int i = 4; i + 1 < argc; i += 2) {
    const unsigned long rgb = std::wcstoul(argv[i], nullptr, 16);
    colours.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    programs.push_back(argv[i + 1]);
  }

  std::vector<std::vector<double>> times(programs.size());
  for (size_t i = 0; i < programs.size(); ++i) TimeOneStart(programs[i], x, y, colours[i]);
  // In turns, so that a slow spell of the machine falls on every program.
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < programs.size(); ++i) {
      const double ms = TimeOneStart(programs[i], x, y, colours[i]);
      if (ms < 0) {
        std::fwprintf(stderr, L"%ls: no painted window within %lu ms\n", programs[i].c_str(),
                      kPaintLimitMs);
        return 1;
      }
      times[i].push_back(ms);
    }
  }
  for (size_t i = 0; i < programs.size(); ++i) {
    std::vector<double>& t = times[i];
    std::sort(t.begin(), t.end());
    const std::wstring name = programs[i].substr(programs[i].find_last_of(L"\\/") + 1);
    std::wprintf(L"%ls: median_ms=%.1f min_ms=%.1f max_ms=%.1f runs=%zu\n", name.c_str(),
                 t[t.size() / 2], t.front(), t.back(), t.size());
  }
  return 0;
}
