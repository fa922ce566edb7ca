// The tool's side of crash reporting: the state made at start, and the parts
// that run inside a crashed process. Everything here that can run at a crash
// avoids the heap and any lock that the crashed thread might hold.
#pragma once

#include <windows.h>

#include <cstdint>

#include "crash/SharedBlock.h"
#include "ui/UniqueHandle.h"

namespace crash {

struct TToolSide {
  ui::UniqueKernelHandle mapping;
  TSharedBlock* shared = nullptr;      // the mapping's view, for the process's life
  ui::UniqueKernelHandle toolProcess;  // this process, inheritable, for the handler
  ui::UniqueKernelHandle crashEvent;
  ui::UniqueKernelHandle dumpDone;
  // The crash thread: woken by a catcher, it sets `walked` when the handler
  // has what it needs (or cannot get it) and the process may end.
  ui::UniqueKernelHandle wake;
  ui::UniqueKernelHandle walked;
  ui::UniqueKernelHandle crashThread;
  DWORD crashThreadId = 0;

  // The handler process, once started; guarded by handlerLock.
  SRWLOCK handlerLock = SRWLOCK_INIT;
  ui::UniqueKernelHandle handler;
  bool handlerTried = false;
};

// Null until InstallCrashReporter has made it; never destroyed, since a
// crash can come during the process's last moments too.
TToolSide* ToolSide() noexcept;

// The common end of every catcher: records the crash, lets the crash thread
// and the handler do their work, and ends the process with the exception's
// code. A second crash while one is reported ends the process at once if it
// happens in the reporting itself; on any other thread it waits for the end.
[[noreturn]] void Crash(TCrashKind kind, const EXCEPTION_RECORD& record,
                        const CONTEXT& context) noexcept;

// A record for a crash that is no hardware exception (abort, terminate):
// `code` raised at the context's instruction.
EXCEPTION_RECORD SyntheticRecord(DWORD code, const CONTEXT& context) noexcept;

// Starts the handler unless it runs already (or failed to start); true when
// it runs. Safe from any thread; the crash thread calls it as the fall-back.
bool StartHandler() noexcept;

// The handler's command-line switch.
inline constexpr wchar_t kHandlerSwitch[] = L"--crash-handler";

// The exit code (and exception code) of a program ended on purpose by
// abort, std::terminate or a pure virtual call: the code Windows itself uses
// for a program that fails fast, with FAST_FAIL_FATAL_APP_EXIT as parameter.
inline constexpr DWORD kFailFastCode = 0xC0000409;
inline constexpr ULONG_PTR kFatalAppExit = 7;
// GCC's code for a C++ exception in flight (the low 24 bits "GCC"; the top
// byte varies with the unwinding phase).
inline constexpr DWORD kGccExceptionCode = 0x20474343;
inline bool IsGccException(DWORD code) {
  return (code & 0x20FFFFFF) == kGccExceptionCode;
}

}  // namespace crash
