// Walks a stack of this process from a thread's context: the frames' code
// addresses, innermost first. It runs at a crash, on a thread other than the
// crashed one, so it uses neither the heap nor a symbol library (which takes
// seconds to load and stops at code without unwind data). It follows the
// unwind data that every x64 function with a frame carries; where that fails
// (a function without it, or a stack it does not describe) it goes on by
// scanning the stack for values that are return addresses.
#pragma once

#include <windows.h>

#include <cstdint>

namespace crash {

struct TStackWalk {
  std::uint32_t count = 0;
  // Frames from this index on were found by scanning (count when none was).
  std::uint32_t firstScanned = 0;
};

// Fills frames with at most max addresses: the context's instruction first,
// then the return address of each caller.
TStackWalk WalkStack(const CONTEXT& context, std::uint64_t* frames, std::uint32_t max) noexcept;

// Whether address lies in the code of a loaded module and follows a call
// instruction, as a return address does.
bool LooksLikeReturnAddress(std::uint64_t address) noexcept;

}  // namespace crash
