// The memory the tool and its crash handler share: one block, mapped by the
// tool at start and by the handler when it starts, that holds everything the
// handler needs to know about a crash. The tool writes into it at the crash
// without taking a lock or touching the heap (the heap may be what broke),
// and the handler still reads it after the tool has ended, so the paths of
// temporary files to remove survive the process that registered them.
#pragma once

#include <windows.h>

#include <cstdint>

namespace crash {

inline constexpr std::uint32_t kSharedMagic = 0x4342524B;  // "KRBC"
// Bumped whenever the layout changes: tool and handler are one program, but
// a handler must never read a block of another layout.
inline constexpr std::uint32_t kSharedVersion = 1;

// Frames walked on the crashed thread; a report rarely needs more than the
// first twenty, and a runaway recursion must not fill the report.
inline constexpr int kMaxFrames = 64;
// Temporary files that can exist at once (one job runs at a time; room to spare).
inline constexpr int kTemporaryFileSlots = 4;
// The longest path the file system calls take, with its terminator.
inline constexpr int kPathChars = 32768;
inline constexpr int kTypeNameChars = 256;
inline constexpr int kExceptionTextChars = 1024;

// How the crash came about, beyond its exception code.
enum class TCrashKind : std::uint32_t {
  fault = 1,            // a hardware exception (access violation, stack overflow, ...)
  cppException = 2,     // a C++ exception that nothing caught
  terminate = 3,        // std::terminate without an exception
  pureVirtualCall = 4,  // a pure virtual function called (an object under construction or gone)
  abort = 5,            // abort()
};

// The state of a temporary-file slot.
enum : std::uint32_t { kSlotFree = 0, kSlotWriting = 1, kSlotLive = 2 };

// state is read and written through std::atomic_ref: the block is plain
// mapped memory, not constructed objects.
struct TTemporaryFileSlot {
  std::uint32_t state;
  wchar_t path[kPathChars];
};

struct alignas(16) TSharedBlock {
  // The context first: CONTEXT must lie on a 16-byte boundary, and the
  // mapping's start does.
  CONTEXT context;
  EXCEPTION_RECORD record;
  // Points at the two above, in the tool's address space: the handler hands
  // this address to the dump writer, which reads it in the tool.
  EXCEPTION_POINTERS pointers;

  std::uint32_t magic;
  std::uint32_t version;

  // Set by the tool before the handler starts. Handle values are the
  // handler's (inherited handles keep their values).
  std::uint64_t toolProcess;
  std::uint64_t crashEvent;  // the tool has crashed: write the dump
  std::uint64_t dumpDone;    // the dump is written: the tool may end
  std::uint32_t toolProcessId;
  std::uint32_t uiThreadId;
  // A test asks the handler to crash while it reports (never set otherwise).
  std::uint32_t handlerCrashOnPurpose;

  // Written by the tool at the crash.
  std::uint64_t pointersInTool;  // the address of `pointers` in the tool
  std::uint32_t crashThreadId;
  std::uint32_t jobThreadId;  // the thread that last registered a temporary file
  TCrashKind kind;
  std::uint32_t frameCount;
  // Frames from this index on were found by scanning the stack for return
  // addresses, not by unwinding: some of them may be stale.
  std::uint32_t firstScannedFrame;
  std::uint64_t frames[kMaxFrames];
  // For a C++ exception: its type as the compiler names it (mangled) and
  // the text of what(), when it has one.
  char exceptionType[kTypeNameChars];
  char exceptionText[kExceptionTextChars];

  TTemporaryFileSlot temporaryFiles[kTemporaryFileSlots];
};

}  // namespace crash
