#include "crash/StackWalk.h"

namespace crash {

namespace {

// Committed, readable memory in one region: [address, address + bytes).
bool Readable(std::uint64_t address, std::uint64_t bytes) noexcept {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return false;
  if (info.State != MEM_COMMIT || (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0) return false;
  const auto end = reinterpret_cast<std::uint64_t>(info.BaseAddress) + info.RegionSize;
  return address + bytes <= end;
}

// The end of the region that holds address: how far a scan may read.
std::uint64_t RegionEnd(std::uint64_t address) noexcept {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return address;
  return reinterpret_cast<std::uint64_t>(info.BaseAddress) + info.RegionSize;
}

bool IsModuleCode(std::uint64_t address) noexcept {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return false;
  constexpr DWORD kExecutable =
      PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return info.State == MEM_COMMIT && info.Type == MEM_IMAGE && (info.Protect & kExecutable) != 0;
}

// The stack is scanned at most this far: enough for a few frames of code
// without unwind data, little enough that stale values deep below do not
// fill the report.
constexpr std::uint64_t kScanBytes = 16 * 1024;

}  // namespace

bool LooksLikeReturnAddress(std::uint64_t address) noexcept {
  if (address < 8 || !IsModuleCode(address) || !Readable(address - 7, 7)) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(address);
  // call rel32: E8 and four bytes.
  if (at[-5] == 0xE8) return true;
  // call r/m64: FF /2, two to seven bytes long (register, memory with
  // displacements, a REX or SIB byte).
  for (int length = 2; length <= 7; ++length) {
    if (at[-length] == 0xFF && (at[-length + 1] & 0x38) == 0x10) return true;
  }
  return false;
}

TStackWalk WalkStack(const CONTEXT& start, std::uint64_t* frames, std::uint32_t max) noexcept {
  TStackWalk walk;
  if (max == 0) return walk;
  CONTEXT context = start;
  frames[walk.count++] = context.Rip;
  std::uint64_t scanFrom = 0;
  while (walk.count < max) {
    const std::uint64_t rsp = context.Rsp;
    if (!Readable(rsp, 8)) break;
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function != nullptr) {
      void* handlerData = nullptr;
      DWORD64 establisher = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                       &establisher, nullptr);
    } else {
      // A function without a frame of its own (or without unwind data):
      // its return address is on top of the stack.
      context.Rip = *reinterpret_cast<const std::uint64_t*>(rsp);
      context.Rsp = rsp + 8;
    }
    if (context.Rip == 0) break;
    if (context.Rsp <= rsp || !IsModuleCode(context.Rip)) {
      scanFrom = rsp;
      break;
    }
    frames[walk.count++] = context.Rip;
  }
  walk.firstScanned = walk.count;
  if (scanFrom != 0) {
    const std::uint64_t end = RegionEnd(scanFrom);
    const std::uint64_t limit = end - scanFrom < kScanBytes ? end : scanFrom + kScanBytes;
    for (std::uint64_t at = scanFrom & ~std::uint64_t{7}; at + 8 <= limit && walk.count < max;
         at += 8) {
      const std::uint64_t value = *reinterpret_cast<const std::uint64_t*>(at);
      if (LooksLikeReturnAddress(value)) frames[walk.count++] = value;
    }
  }
  return walk;
}

}  // namespace crash
