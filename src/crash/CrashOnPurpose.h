// Crashing the tool on purpose, so that tests can prove the crash reports on
// the real program: each kind of crash that the reporter catches, at a
// chosen moment. Nothing a user does reaches it. It takes an environment
// variable that names the kind, the moment and the running program's build
// stamp (the link time in its header, different in every build), so a
// setting left over from another build, or typed without reading the
// program's header, does nothing; the program takes the variable out of its
// environment at once, so nothing it starts (Explorer, the handler) inherits
// it. Without the variable, all that runs of this is one look-up at start.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace crash {

inline constexpr wchar_t kCrashOnPurposeVariable[] = L"BRK_CRASH_ON_PURPOSE";

enum class TPurposeKind {
  accessViolation,  // "access": a write through a null pointer
  divideByZero,     // "divide": an integer division by zero
  stackOverflow,    // "stack": a recursion without end
  cppException,     // "throw": a C++ exception that nothing catches
  terminate,        // "terminate": std::terminate
  pureVirtualCall,  // "purecall": a pure virtual call from a constructor
  abort,            // "abort": abort()
  heapCorruption,   // "heap": a write past a heap block's end, then an access violation
  faultInCreate,    // "create": a fault in a window's WM_CREATE
  faultInTimer,     // "timer": a fault in a timer procedure
  handlerCrash,     // "handler": an access violation, and the handler crashes too
};

enum class TPurposeMoment {
  early,  // "early": at start, before the window and the handler
  idle,   // "idle": once the window shows and the handler runs
  job,    // "job": on the archive job's worker, once its temporary archive exists
};

struct TCrashOnPurpose {
  TPurposeKind kind;
  TPurposeMoment moment;
};

// "<kind>@<moment>#<stamp>", stamp in eight hexadecimal digits; nothing for
// any other text, a stamp that is not buildStamp, or a kind that cannot
// happen at that moment ("create", "timer" and "handler" only when idle).
std::optional<TCrashOnPurpose> ParseCrashOnPurpose(std::wstring_view value,
                                                   std::uint32_t buildStamp);

// At start, on the user-interface thread: reads the variable; an early
// crash happens here.
void ArmCrashOnPurpose();
// Once the handler runs (from any thread): an idle crash happens now.
void CrashOnPurposeWhenIdle();
// From the archive job, once its temporary file exists.
void CrashOnPurposeInJob() noexcept;

}  // namespace crash
