#include "crash/CrashOnPurpose.h"

#include <windows.h>

#include <process.h>

#include <cstdlib>
#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>

#include "crash/SystemFacts.h"
#include "crash/ToolSide.h"

namespace crash {

namespace {

struct TKindName {
  const wchar_t* name;
  TPurposeKind kind;
  bool idleOnly;  // needs the running message loop, or the handler
};
constexpr TKindName kKinds[] = {
    {L"access", TPurposeKind::accessViolation, false},
    {L"divide", TPurposeKind::divideByZero, false},
    {L"stack", TPurposeKind::stackOverflow, false},
    {L"throw", TPurposeKind::cppException, false},
    {L"terminate", TPurposeKind::terminate, false},
    {L"purecall", TPurposeKind::pureVirtualCall, false},
    {L"abort", TPurposeKind::abort, false},
    {L"heap", TPurposeKind::heapCorruption, false},
    {L"create", TPurposeKind::faultInCreate, true},
    {L"timer", TPurposeKind::faultInTimer, true},
    {L"handler", TPurposeKind::handlerCrash, true},
};

struct TMomentName {
  const wchar_t* name;
  TPurposeMoment moment;
};
constexpr TMomentName kMoments[] = {
    {L"early", TPurposeMoment::early},
    {L"idle", TPurposeMoment::idle},
    {L"job", TPurposeMoment::job},
};

constexpr UINT kCrashNow = WM_APP;

std::optional<TCrashOnPurpose> g_armed;
HWND g_idleWindow = nullptr;

// Read through volatile objects, so that the compiler cannot see the faults
// coming and leave them out.
int* volatile g_nowhere = nullptr;
volatile int g_one = 1;
volatile int g_zero = 0;
volatile int g_quotient = 0;
volatile bool g_deeper = true;

[[gnu::noinline]] void AccessViolationOnPurpose() {
  *static_cast<volatile int*>(g_nowhere) = 1;
}

// Both operands unknown and the quotient kept: otherwise the compiler may
// replace the division by comparisons, or leave it out.
[[gnu::noinline]] void DivideByZeroOnPurpose() {
  g_quotient = g_one / g_zero;
}

// Below a page per frame, so that each frame touches the guard page in order.
[[gnu::noinline]] int OverflowStackOnPurpose(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (g_deeper) return OverflowStackOnPurpose(depth + 1) + frame[0];
  return frame[0];
}

[[gnu::noinline]] void ThrowOnPurpose() {
  throw std::runtime_error("crashed on purpose");
}

unsigned __stdcall ThreadThatThrows(void*) {
  ThrowOnPurpose();
  return 0;
}

[[gnu::noinline]] void TerminateOnPurpose() {
  std::terminate();
}

// An object whose pure virtual function is called while it is being built,
// when it is not yet the derived object whose function would be called
// later. The call goes through pointers the compiler cannot follow: seen
// through, the call is undefined (or has one possible target) and the
// compiler leaves it out.
class TPureVirtualOnPurpose {
 public:
  TPureVirtualOnPurpose();
  virtual ~TPureVirtualOnPurpose() = default;
  virtual void Run() = 0;
};

TPureVirtualOnPurpose* volatile g_underConstruction = nullptr;
void (TPureVirtualOnPurpose::*volatile g_run)() = &TPureVirtualOnPurpose::Run;

[[gnu::noinline]] void CallPureVirtualOnPurpose() {
  (g_underConstruction->*g_run)();
  // Not a jump: the report should show this function calling.
  g_underConstruction = nullptr;
}

TPureVirtualOnPurpose::TPureVirtualOnPurpose() {
  g_underConstruction = this;
  CallPureVirtualOnPurpose();
}

class TDerivedOnPurpose final : public TPureVirtualOnPurpose {
 public:
  void Run() override {}
};

[[gnu::noinline]] void ConstructOnPurpose() {
  TDerivedOnPurpose derived;
  derived.Run();
}

[[gnu::noinline]] void AbortOnPurpose() {
  std::abort();
}

[[gnu::noinline]] void CorruptHeapOnPurpose() {
  auto* block = static_cast<volatile unsigned char*>(HeapAlloc(GetProcessHeap(), 0, 16));
  // Past the block's end lie the heap's records of its neighbours.
  for (int i = 0; block != nullptr && i < 256; ++i) block[i] = 0xCD;
  *static_cast<volatile int*>(g_nowhere) = 2;
}

LRESULT CALLBACK FaultInCreateMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) *static_cast<volatile int*>(g_nowhere) = 3;
  return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK FaultInTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  *static_cast<volatile int*>(g_nowhere) = 4;
}

// A message-only window of a class of its own, whose procedure is `procedure`.
HWND MakeMessageWindow(WNDPROC procedure, const wchar_t* className) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         windowClass.hInstance, nullptr);
}

void CreateWindowThatFaults() {
  MakeMessageWindow(FaultInCreateMessage, L"BRKCrashOnPurposeCreate");
}

void CrashNow(TCrashOnPurpose request) {
  switch (request.kind) {
    case TPurposeKind::accessViolation:
    case TPurposeKind::handlerCrash:
      AccessViolationOnPurpose();
      break;
    case TPurposeKind::divideByZero:
      DivideByZeroOnPurpose();
      break;
    case TPurposeKind::stackOverflow:
      OverflowStackOnPurpose(0);
      break;
    case TPurposeKind::cppException: {
      // The job is called here through a function that lets no exception
      // out, which ends in std::terminate.
      if (request.moment == TPurposeMoment::job) ThrowOnPurpose();
      // Elsewhere on a thread of its own, which nothing catches for; the
      // thread that asked waits, as any thread would go on with its work.
      const auto thread = _beginthreadex(nullptr, 0, ThreadThatThrows, nullptr, 0, nullptr);
      if (thread != 0) WaitForSingleObject(reinterpret_cast<HANDLE>(thread), INFINITE);
      break;
    }
    case TPurposeKind::terminate:
      TerminateOnPurpose();
      break;
    case TPurposeKind::pureVirtualCall:
      ConstructOnPurpose();
      break;
    case TPurposeKind::abort:
      AbortOnPurpose();
      break;
    case TPurposeKind::heapCorruption:
      CorruptHeapOnPurpose();
      break;
    case TPurposeKind::faultInCreate:
      CreateWindowThatFaults();
      break;
    case TPurposeKind::faultInTimer:
      SetTimer(nullptr, 0, USER_TIMER_MINIMUM, FaultInTimerProc);
      break;
  }
}

LRESULT CALLBACK IdleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCrashNow && g_armed) CrashNow(*g_armed);
  return DefWindowProcW(window, message, wParam, lParam);
}

void MakeIdleWindow() {
  g_idleWindow = MakeMessageWindow(IdleWindowProc, L"BRKCrashOnPurpose");
}

}  // namespace

std::optional<TCrashOnPurpose> ParseCrashOnPurpose(std::wstring_view value,
                                                   std::uint32_t buildStamp) {
  const std::size_t at = value.find(L'@');
  const std::size_t hash = value.find(L'#');
  if (at == std::wstring_view::npos || hash == std::wstring_view::npos || hash < at) return {};
  const std::wstring_view kindName = value.substr(0, at);
  const std::wstring_view momentName = value.substr(at + 1, hash - at - 1);
  const std::wstring_view stamp = value.substr(hash + 1);
  if (stamp.size() != 8 || stamp.find_first_not_of(L"0123456789abcdefABCDEF") != stamp.npos) {
    return {};
  }
  if (std::wcstoul(std::wstring(stamp).c_str(), nullptr, 16) != buildStamp) return {};
  for (const TKindName& kind : kKinds) {
    if (kindName != kind.name) continue;
    for (const TMomentName& moment : kMoments) {
      if (momentName != moment.name) continue;
      if (kind.idleOnly && moment.moment != TPurposeMoment::idle) return {};
      return TCrashOnPurpose{kind.kind, moment.moment};
    }
  }
  return {};
}

void ArmCrashOnPurpose() {
  wchar_t value[64];
  const DWORD length = GetEnvironmentVariableW(kCrashOnPurposeVariable, value, 64);
  if (length == 0) return;
  SetEnvironmentVariableW(kCrashOnPurposeVariable, nullptr);
  if (length >= 64) return;
  g_armed = ParseCrashOnPurpose(value, BuildStamp());
  if (!g_armed) {
    OutputDebugStringW(L"Crash on purpose: not understood, or for another build; ignored");
    return;
  }
  TToolSide* side = ToolSide();
  if (g_armed->kind == TPurposeKind::handlerCrash && side != nullptr && side->shared != nullptr) {
    side->shared->handlerCrashOnPurpose = 1;
  }
  if (g_armed->moment == TPurposeMoment::early) CrashNow(*g_armed);
  if (g_armed->moment == TPurposeMoment::idle) MakeIdleWindow();
}

void CrashOnPurposeWhenIdle() {
  if (g_armed && g_armed->moment == TPurposeMoment::idle && g_idleWindow != nullptr) {
    PostMessageW(g_idleWindow, kCrashNow, 0, 0);
  }
}

void CrashOnPurposeInJob() noexcept {
  if (g_armed && g_armed->moment == TPurposeMoment::job) CrashNow(*g_armed);
}

}  // namespace crash
