// Shared by the archive job's tests: scratch source trees (long paths and
// folder links included), a small lister of an archive's entry names, the
// independent Linux-side readers (reached from the test under Wine, which
// starts Linux programs), and a test owner that runs a job the way the
// window does: start it, serve messages until it has finished or the user
// stops it, destroy it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipJob.h"

namespace jobtest {

// A folder below the system's temporary folder, removed with its contents
// afterwards (folder links are removed, never followed).
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, ending in "\".
  const std::wstring& Path() const { return path_; }
  // Full path of a path below the folder ("\" separated).
  std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

  // Writes a file below the folder, creating its folders; returns its path.
  std::wstring Write(const std::wstring& relative, const std::string& bytes) const;
  std::wstring MakeFolder(const std::wstring& relative) const;
  // Makes relative a link to the folder target (a junction on Windows, a
  // symbolic link under Wine). False when neither can be made.
  bool MakeFolderLink(const std::wstring& relative, const std::wstring& target);

 private:
  std::wstring path_;
  std::vector<std::wstring> links_;
};

bool Exists(const std::wstring& path);
std::string ReadAll(const std::wstring& path);
// Bytes that deflate only a little, so that sizes are predictable.
std::string NoisyBytes(std::size_t size, std::uint32_t seed);

// The entry names in an archive's central directory, in order.
std::vector<std::string> ArchiveEntryNames(const std::wstring& archive);

// True when running under Wine, which can start Linux programs.
bool UnderWine();

// Result of the Linux-side readers: skipped when they cannot be reached.
struct ReaderVerdict {
  bool ran = false;
  bool ok = false;
  std::string report;
};
// The zip writer's checker (7-Zip, libarchive, Python's zipfile) must find
// exactly the expected entries, in order, with the bytes of the files
// below source.
ReaderVerdict CheckWithReaders(const std::wstring& archive, const std::wstring& source,
                               const std::vector<std::string>& expectedNames);

// How a test owner stops the job, if at all.
enum class StopAt {
  never,
  // Before the walk has looked at its first entry.
  walk,
  // While files are being added: the owner stops and destroys the job as
  // soon as the first progress report has come back to it. Until then the
  // sources' reads after the eighth wait, so that the stop always lands
  // while files are still to be added, however fast the job runs ahead.
  addPass,
  // While a file is being read: the third read of any source asks the job
  // to stop, as a click that lands while a large file is packed.
  insideAFile,
};

struct Report {
  std::uint16_t percent;
  std::wstring file;
};

struct JobRun {
  std::vector<Report> progress;
  std::vector<bool> finishes;
  // What each finished report said.
  std::vector<archive::TJobResult> results;
  // Every callback ran on the owner's thread.
  bool onOwnerThread = true;
  // StopAt::insideAFile: reads of a source after the one that stopped.
  int readsAfterStop = 0;
  // The threads that read the files.
  unsigned readers = 0;
};

JobRun RunJob(const std::wstring& source, const std::wstring& target, StopAt stop = StopAt::never,
              const std::vector<std::wstring>& excluded = {}, unsigned workers = 0);

}  // namespace jobtest
