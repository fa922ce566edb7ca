// The files a job writes only while it runs (the archive's temporary file).
// Something outside the job may need to know which of them exist at a given
// moment: if the process ends in a way that no code of the job survives, the
// file would otherwise stay on the user's disk for good. The job announces
// each one here once it exists and again once it is gone (renamed into place
// or deleted); whoever watches is set once, at the program's start.
#pragma once

#include <string>
#include <utility>

namespace archive {

using TTemporaryFileNote = void (*)(const std::wstring& path) noexcept;

struct TTemporaryFileWatcher {
  TTemporaryFileNote created = nullptr;
  TTemporaryFileNote gone = nullptr;
};

// Process-wide; set before any job runs. By default nobody watches.
void WatchTemporaryFiles(TTemporaryFileWatcher watcher) noexcept;

// path exists now, in the form the file system calls were given.
void TemporaryFileCreated(const std::wstring& path) noexcept;
// path no longer exists under that name.
void TemporaryFileGone(const std::wstring& path) noexcept;

// Announces a file that has just been created, and its end when the scope
// that renames or deletes it is left, however it is left.
class TAnnouncedTemporaryFile {
 public:
  explicit TAnnouncedTemporaryFile(std::wstring path) noexcept : path_(std::move(path)) {
    TemporaryFileCreated(path_);
  }
  ~TAnnouncedTemporaryFile() { TemporaryFileGone(path_); }
  TAnnouncedTemporaryFile(const TAnnouncedTemporaryFile&) = delete;
  TAnnouncedTemporaryFile& operator=(const TAnnouncedTemporaryFile&) = delete;

 private:
  std::wstring path_;
};

}  // namespace archive
