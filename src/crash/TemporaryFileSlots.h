// The temporary files the tool has registered, kept in the shared block so
// that the handler can remove them once the crashed tool has ended (before
// that, the tool's open handles keep them). Only files whose name ends in
// ".partial" are ever removed: a slot that holds anything else, by a fault
// in the tool or in its memory, is left alone.
#pragma once

#include <string>
#include <vector>

#include "crash/SharedBlock.h"

namespace crash {

// The tool's side; registering a path twice keeps one slot.
void RegisterTemporaryFile(TSharedBlock& shared, const std::wstring& path) noexcept;
void ForgetTemporaryFile(TSharedBlock& shared, const std::wstring& path) noexcept;

struct TRemoval {
  std::vector<std::wstring> removed;
  std::vector<std::wstring> alreadyGone;
  std::vector<std::wstring> leftBehind;
};

// The handler's side, once the tool has ended.
TRemoval RemoveTemporaryFiles(TSharedBlock& shared);

// True for a path the handler may remove.
bool IsRemovableTemporaryFile(const std::wstring& path);

}  // namespace crash
