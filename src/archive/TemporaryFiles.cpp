#include "archive/TemporaryFiles.h"

namespace archive {

namespace {

TTemporaryFileWatcher g_watcher;

}  // namespace

void WatchTemporaryFiles(TTemporaryFileWatcher watcher) noexcept {
  g_watcher = watcher;
}

void TemporaryFileCreated(const std::wstring& path) noexcept {
  if (g_watcher.created != nullptr) g_watcher.created(path);
}

void TemporaryFileGone(const std::wstring& path) noexcept {
  if (g_watcher.gone != nullptr) g_watcher.gone(path);
}

}  // namespace archive
