#include "crash/TemporaryFileSlots.h"

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <string_view>

namespace crash {

namespace {

constexpr std::wstring_view kRemovableSuffix = L".partial";

std::atomic_ref<std::uint32_t> State(TTemporaryFileSlot& slot) {
  return std::atomic_ref<std::uint32_t>(slot.state);
}

bool Holds(TTemporaryFileSlot& slot, const std::wstring& path) {
  return State(slot).load() == kSlotLive && path == slot.path;
}

}  // namespace

void RegisterTemporaryFile(TSharedBlock& shared, const std::wstring& path) noexcept {
  // A path too long to keep whole is not kept at all: half of it could name
  // another file.
  if (path.empty() || path.size() >= kPathChars) return;
  for (TTemporaryFileSlot& slot : shared.temporaryFiles) {
    if (Holds(slot, path)) return;
  }
  for (TTemporaryFileSlot& slot : shared.temporaryFiles) {
    std::uint32_t free = kSlotFree;
    if (!State(slot).compare_exchange_strong(free, kSlotWriting)) continue;
    std::wmemcpy(slot.path, path.c_str(), path.size() + 1);
    State(slot).store(kSlotLive);
    return;
  }
}

void ForgetTemporaryFile(TSharedBlock& shared, const std::wstring& path) noexcept {
  for (TTemporaryFileSlot& slot : shared.temporaryFiles) {
    if (Holds(slot, path)) State(slot).store(kSlotFree);
  }
}

bool IsRemovableTemporaryFile(const std::wstring& path) {
  if (path.size() <= kRemovableSuffix.size()) return false;
  const std::wstring_view end =
      std::wstring_view(path).substr(path.size() - kRemovableSuffix.size());
  return CompareStringOrdinal(end.data(), static_cast<int>(end.size()), kRemovableSuffix.data(),
                              static_cast<int>(kRemovableSuffix.size()), TRUE) == CSTR_EQUAL;
}

TRemoval RemoveTemporaryFiles(TSharedBlock& shared) {
  TRemoval removal;
  for (TTemporaryFileSlot& slot : shared.temporaryFiles) {
    if (State(slot).load() != kSlotLive) continue;
    const std::wstring path(slot.path, wcsnlen(slot.path, kPathChars));
    if (!IsRemovableTemporaryFile(path)) continue;
    if (DeleteFileW(path.c_str())) {
      removal.removed.push_back(path);
    } else if (const DWORD why = GetLastError();
               why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND) {
      removal.alreadyGone.push_back(path);
    } else {
      removal.leftBehind.push_back(path);
    }
    State(slot).store(kSlotFree);
  }
  return removal;
}

}  // namespace crash
