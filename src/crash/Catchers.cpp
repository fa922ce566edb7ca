// The catchers: every way a crash can reach the process ends in Crash().
//
// - A vectored handler sees hardware exceptions first, before any frame or
//   system code can swallow them: the window manager's callback dispatch
//   (WM_CREATE, timer procedures) ignores faults that pass through it. It
//   only takes faults whose address lies inside this program, which has no
//   handler of its own for them; faults in system code may be handled there.
// - The unhandled-exception filter takes what nobody handled elsewhere. C++
//   exceptions that leave a thread arrive here under GCC's own code: they
//   go on to the C runtime's filter, which lets the throw return so that
//   std::terminate runs and can name the exception.
// - std::terminate, abort (SIGABRT) and pure virtual calls have handlers.
#include <signal.h>

#include <cxxabi.h>
#include <atomic>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "crash/CrashOnPurpose.h"
#include "crash/CrashReporter.h"
#include "crash/StackWalk.h"
#include "crash/ToolSide.h"

namespace crash {

namespace {

// Long enough for the handler to write a dump of a large process on a slow
// disk; bounded so that a handler that hangs cannot keep a crashed tool alive.
constexpr DWORD kHandlerWaitMs = 60000;
constexpr DWORD kCrashThreadWaitMs = 90000;

TToolSide* g_toolSide = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER g_runtimeFilter = nullptr;
std::atomic<DWORD> g_crashingThread{0};
std::atomic<DWORD> g_crashCode{0};
std::uintptr_t g_imageStart = 0;
std::uintptr_t g_imageEnd = 0;

// The last C++ throw, kept for std::terminate: when an exception ends in it
// (it left a thread, or a function that lets none out), the stack worth
// reporting is the throw's, which std::terminate no longer shows. Taken only
// when no other thread is keeping one at that moment; std::terminate uses it
// only when it was kept on its own thread.
struct alignas(16) TLastThrow {
  CONTEXT context;
  EXCEPTION_RECORD record;
  DWORD threadId;
  std::atomic<bool> busy;
};
TLastThrow g_lastThrow;

void KeepThrow(const EXCEPTION_POINTERS& exception) {
  if (g_lastThrow.busy.exchange(true)) return;
  g_lastThrow.record = *exception.ExceptionRecord;
  g_lastThrow.context = *exception.ContextRecord;
  g_lastThrow.threadId = GetCurrentThreadId();
  g_lastThrow.busy = false;
}

// Whether the last throw kept was this thread's; then its record and
// context are copied out.
bool ThisThreadsLastThrow(EXCEPTION_RECORD& record, CONTEXT& context) {
  while (g_lastThrow.busy.exchange(true)) Sleep(0);
  const bool ours = g_lastThrow.threadId == GetCurrentThreadId();
  if (ours) {
    record = g_lastThrow.record;
    context = g_lastThrow.context;
  }
  g_lastThrow.busy = false;
  return ours;
}

bool IsHardwareFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      return true;
    default:
      return false;
  }
}

bool InsideProgram(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  return at >= g_imageStart && at < g_imageEnd;
}

// Ends the process without a word: for a crash inside the reporting, where
// anything more could fault again or wait for ever.
[[noreturn]] void EndQuietly(DWORD code) {
  TerminateProcess(GetCurrentProcess(), code);
  for (;;) Sleep(INFINITE);
}

LONG CALLBACK FirstChance(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (record.ExceptionCode == kGccExceptionCode) KeepThrow(*exception);
  if (!IsHardwareFault(record.ExceptionCode) || !InsideProgram(record.ExceptionAddress)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  Crash(TCrashKind::fault, record, *exception->ContextRecord);
}

LONG WINAPI LastChance(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (IsGccException(record.ExceptionCode) && g_runtimeFilter != nullptr) {
    const LONG verdict = g_runtimeFilter(exception);
    if (verdict == EXCEPTION_CONTINUE_EXECUTION) return verdict;
  }
  Crash(TCrashKind::fault, record, *exception->ContextRecord);
}

// Copies at most size - 1 characters and always terminates.
void CopyText(char* to, std::size_t size, const char* from) {
  std::size_t i = 0;
  for (; from != nullptr && from[i] != '\0' && i + 1 < size; ++i) to[i] = from[i];
  to[i] = '\0';
}

[[noreturn]] void OnTerminate() noexcept {
  CONTEXT here;
  RtlCaptureContext(&here);
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) {
    Crash(TCrashKind::terminate, SyntheticRecord(kFailFastCode, here), here);
  }
  // In static memory: this thread's stack may be nearly used up. Taken
  // before the exception is thrown again below, which would replace it.
  static EXCEPTION_RECORD thrownRecord;
  alignas(16) static CONTEXT thrownContext;
  const bool thrownHere = ThisThreadsLastThrow(thrownRecord, thrownContext);
  TSharedBlock* shared = g_toolSide != nullptr ? g_toolSide->shared : nullptr;
  if (shared != nullptr && g_crashingThread.load() == 0) {
    CopyText(shared->exceptionType, sizeof shared->exceptionType, type->name());
    try {
      throw;
    } catch (const std::exception& e) {
      CopyText(shared->exceptionText, sizeof shared->exceptionText, e.what());
    } catch (...) {
    }
  }
  if (thrownHere) Crash(TCrashKind::cppException, thrownRecord, thrownContext);
  Crash(TCrashKind::cppException, SyntheticRecord(kGccExceptionCode, here), here);
}

void OnAbortSignal(int) {
  CONTEXT here;
  RtlCaptureContext(&here);
  Crash(TCrashKind::abort, SyntheticRecord(kFailFastCode, here), here);
}

// Walks the crashed thread's stack and hands over to the handler; started at
// install, it waits until a catcher wakes it.
DWORD WINAPI CrashThread(void*) {
  TToolSide& side = *g_toolSide;
  WaitForSingleObject(side.wake.get(), INFINITE);
  TSharedBlock& shared = *side.shared;
  const TStackWalk walk = WalkStack(shared.context, shared.frames, kMaxFrames);
  shared.frameCount = walk.count;
  shared.firstScannedFrame = walk.firstScanned;
  if (StartHandler()) {
    SetEvent(side.crashEvent.get());
    AcquireSRWLockShared(&side.handlerLock);
    HANDLE handler = side.handler.get();
    ReleaseSRWLockShared(&side.handlerLock);
    const HANDLE ends[] = {side.dumpDone.get(), handler};
    WaitForMultipleObjects(2, ends, FALSE, kHandlerWaitMs);
  }
  SetEvent(side.walked.get());
  return 0;
}

bool MakeSharedBlock(TToolSide& side) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  side.mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &inherited, PAGE_READWRITE, 0,
                                        sizeof(TSharedBlock), nullptr));
  if (!side.mapping) return false;
  side.shared = static_cast<TSharedBlock*>(
      MapViewOfFile(side.mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TSharedBlock)));
  if (side.shared == nullptr) return false;
  side.crashEvent.reset(CreateEventW(&inherited, TRUE, FALSE, nullptr));
  side.dumpDone.reset(CreateEventW(&inherited, TRUE, FALSE, nullptr));
  HANDLE self = nullptr;
  // What the handler does with the tool: waits for its end, reads it for
  // the dump, and ends it if it does not end by itself.
  constexpr DWORD kHandlerAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ |
                                   PROCESS_DUP_HANDLE | PROCESS_TERMINATE;
  if (DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                      kHandlerAccess, TRUE, 0)) {
    side.toolProcess.reset(self);
  }
  if (!side.crashEvent || !side.dumpDone || !side.toolProcess) return false;

  TSharedBlock& shared = *side.shared;
  shared.magic = kSharedMagic;
  shared.version = kSharedVersion;
  shared.toolProcess = reinterpret_cast<std::uintptr_t>(side.toolProcess.get());
  shared.crashEvent = reinterpret_cast<std::uintptr_t>(side.crashEvent.get());
  shared.dumpDone = reinterpret_cast<std::uintptr_t>(side.dumpDone.get());
  shared.toolProcessId = GetCurrentProcessId();
  shared.uiThreadId = GetCurrentThreadId();
  return true;
}

void FindOwnImage() {
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  g_imageStart = reinterpret_cast<std::uintptr_t>(base);
  g_imageEnd = g_imageStart + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

TToolSide* ToolSide() noexcept {
  return g_toolSide;
}

EXCEPTION_RECORD SyntheticRecord(DWORD code, const CONTEXT& context) noexcept {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = code;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
  if (code == kFailFastCode) {
    record.NumberParameters = 1;
    record.ExceptionInformation[0] = kFatalAppExit;
  }
  return record;
}

void Crash(TCrashKind kind, const EXCEPTION_RECORD& record, const CONTEXT& context) noexcept {
  const DWORD self = GetCurrentThreadId();
  DWORD none = 0;
  if (!g_crashingThread.compare_exchange_strong(none, self)) {
    const bool inReporting =
        none == self || (g_toolSide != nullptr && self == g_toolSide->crashThreadId);
    if (inReporting)
      EndQuietly(g_crashCode.load() != 0 ? g_crashCode.load() : record.ExceptionCode);
    for (;;) Sleep(INFINITE);
  }
  g_crashCode = record.ExceptionCode;
  TToolSide* side = g_toolSide;
  if (side == nullptr || side->shared == nullptr || !side->crashThread) {
    EndQuietly(record.ExceptionCode);
  }
  TSharedBlock& shared = *side->shared;
  shared.record = record;
  // A record chained to another would point into the crashed thread's stack.
  shared.record.ExceptionRecord = nullptr;
  shared.context = context;
  shared.pointers.ExceptionRecord = &shared.record;
  shared.pointers.ContextRecord = &shared.context;
  shared.pointersInTool = reinterpret_cast<std::uintptr_t>(&shared.pointers);
  shared.crashThreadId = self;
  shared.kind = kind;
  SetEvent(side->wake.get());
  WaitForSingleObject(side->walked.get(), kCrashThreadWaitMs);
  EndQuietly(record.ExceptionCode);
}

void InstallCrashReporter() {
  if (g_toolSide != nullptr) return;
  FindOwnImage();
  // Never destroyed: see ToolSide().
  auto* side = new TToolSide;
  if (MakeSharedBlock(*side)) {
    side->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    side->walked.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (side->wake && side->walked) {
      g_toolSide = side;
      side->crashThread.reset(
          CreateThread(nullptr, 0, CrashThread, nullptr, 0, &side->crashThreadId));
    }
  }
  if (g_toolSide == nullptr) {
    // No handler can be told: crashes still end the process quietly, with
    // their code, instead of in the system's own crash dialog.
    OutputDebugStringW(L"Crash reports: not available");
    g_toolSide = side;
    side->shared = nullptr;
  }
  AddVectoredExceptionHandler(1, FirstChance);
  g_runtimeFilter = SetUnhandledExceptionFilter(LastChance);
  std::set_terminate(OnTerminate);
  signal(SIGABRT, OnAbortSignal);
  ArmCrashOnPurpose();
}

}  // namespace crash

// A call of a pure virtual function: an object used while it is built or
// after it is gone. The runtime's own version would end in std::terminate,
// which could not tell this from other causes.
extern "C" [[noreturn]] void __cxa_pure_virtual() {
  CONTEXT here;
  RtlCaptureContext(&here);
  crash::Crash(crash::TCrashKind::pureVirtualCall,
               crash::SyntheticRecord(crash::kFailFastCode, here), here);
}
