// The archive job: turns one folder into one zip archive on a worker thread
// of its own, so that the window stays responsive while a large install is
// packed. It lists every file below the source folder first (breadth first,
// so the percentage it reports is exact), then adds them and reports each
// file added. The files are read and compressed on the threads of a
// pipeline (EntryPipeline.h), several at once, and written by the worker in
// the order of the list, so the archive is the one a single thread writes.
// Both reports reach the owner on the user-interface thread.
// The worker never waits for a progress report: it posts one when the
// percentage moves (at most one at a time), and the user-interface thread
// then reports every file added so far, one by one, in order. The finished
// report is a blocking hand-over that first reports the files still due.
//
// The archive is written beside the target under a temporary name and
// takes the target's place only once it is complete: a stop or a failure
// leaves nothing half-written behind and an older archive at the target
// untouched. The finished report says whether the archive is in place, and
// if not, why (TJobResult).
// Folder links (junctions, symbolic links to folders) are not followed, so
// the walk always ends and nothing outside the source is packed.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/EntryPipeline.h"
#include "archive/JobResult.h"
#include "archive/ProgressPercent.h"
#include "archive/UiHandOver.h"
#include "ui/UniqueHandle.h"

namespace archive {

// Called once at the end: how the job ended, and why when it failed.
using TZipFinishEvent = std::function<void(const TJobResult& result)>;
// Called for each file added, in order, with the percentage done once it was
// added and its path; several may come together, some time after the adds.
using TZipProgressEvent =
    std::function<void(std::uint16_t percent, const std::wstring& currentFile)>;

// target's path relative to the folder base (which ends in "\"), in the
// form ".\sub\file"; for paths too long for the shell's relative-path
// function it is taken by stripping base from target. Empty when target
// does not lie below base.
std::wstring GetRelativePath(const std::wstring& base, const std::wstring& target);

// The file the archive is written to until it is complete.
std::wstring TemporaryArchivePath(const std::wstring& zipFileName);

// The two listing calls of the walk. Replaceable so that tests can make a
// folder's listing fail, at its start or part-way, which no file system here
// does on demand.
struct TFolderListing {
  HANDLE(WINAPI* first)
  (LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID data, FINDEX_SEARCH_OPS search, LPVOID filter,
   DWORD flags);
  BOOL(WINAPI* next)(HANDLE listing, LPWIN32_FIND_DATAW data);
};
// Process-wide; the system calls are the default.
void UseFolderListing(const TFolderListing& listing) noexcept;
void UseSystemFolderListing() noexcept;

// Owner side, all on the user-interface thread: construct, set the target,
// the source and the callbacks, Start, serve messages until IsFinished
// (ui::ProcessMessagesUntil serves each hand-over as it comes), or
// SetStop(true), then destroy. The callbacks must not destroy the job.
class TZipFile {
 public:
  TZipFile();
  // Waits for the worker, serving its hand-overs meanwhile, so the last
  // reports of a stopped job still run, inside the destructor.
  ~TZipFile();
  TZipFile(const TZipFile&) = delete;
  TZipFile& operator=(const TZipFile&) = delete;

  // Settings, to be made before Start.
  void SetZipFileName(std::wstring path) { FZipFileName = std::move(path); }
  // The folder to pack; a trailing "\" is optional.
  void SetSourceDir(std::wstring folder) { FSourceDir = std::move(folder); }
  void SetOnFinish(TZipFinishEvent onFinish) { FOnFinish = std::move(onFinish); }
  void SetOnProgress(TZipProgressEvent onProgress) { FOnProgress = std::move(onProgress); }
  // Entries (files or folders) of this bare name are left out wherever they
  // are; letter case does not matter.
  void Exclude(std::wstring name) { FExcludeList.push_back(std::move(name)); }

  // Lets the worker run. A job runs once.
  void Start();
  // True once the worker has ended (also when no worker could be made).
  bool IsFinished() const;
  // Asks a running job to stop; it may be called from any thread. Every
  // thread of the job stops at its next read.
  void SetStop(bool stop);
  // The files are compressed on this many threads at once; 0, the default,
  // means one per logical processor. To be set before Start.
  void SetWorkerCount(unsigned count) { FWorkerCount = count; }
  // The threads that read the files, for the worker count set.
  unsigned ReaderCount() const { return PipelineSettings().readers; }

 private:
  static unsigned __stdcall ThreadProc(void* job);
  void Execute();
  void ScanFolder(const std::wstring& root);
  void FailScan(const std::wstring& folder, DWORD why);
  void Fail(TJobResult result);
  void AddFiles(const std::vector<std::wstring>& list);
  // Worker: done files are in the archive. User-interface thread: reports
  // the files added since the last report.
  void FileAdded(std::size_t done);
  void DeliverProgress();
  void DoFinish();
  TPipelineSettings PipelineSettings() const;
  class TPipelineInUse;
  bool IsExcluded(const std::wstring& name) const;
  bool IsOwnOutput(const std::wstring& path) const;
  static void ReportFailure(const std::wstring& what, const std::wstring& path, std::uint32_t code);

  std::wstring FZipFileName;
  std::wstring FSourceDir;
  std::wstring FCurrentFile;
  std::atomic<bool> FStop = false;
  // The outcome; a failure keeps the first reason found. Set before the
  // finished report; no success until the archive is in place.
  std::optional<TJobResult> FResult;
  // A folder below the source could not be listed (wholly or part-way):
  // the archive would lack its files, so none is made.
  bool FScanFailed = false;
  // Files added so far (written by the worker), a report on its way, and
  // the percentage of the last report posted (the worker's own).
  std::atomic<std::size_t> FFilesDone = 0;
  std::atomic<bool> FReportPosted = false;
  std::uint16_t FPostedPercent = 0;
  // Files reported so far (the user-interface thread's own).
  std::size_t FFilesReported = 0;
  // A stop came during the add pass: a last report of 100 follows the files.
  bool FStopReport = false;
  TZipFinishEvent FOnFinish;
  TZipProgressEvent FOnProgress;
  std::vector<std::wstring> FFileList;
  std::vector<std::wstring> FExcludeList;

  unsigned FWorkerCount = 0;
  // The pipeline of the add pass while it runs, for SetStop.
  TLock FPipelineLock;
  TEntryPipeline* FPipeline = nullptr;

  TUiHandOver FHandOver{[this] { DeliverProgress(); }};
  // Set by Start before the worker is let go: a job destroyed unstarted
  // lets its worker return without running the body.
  bool FRunBody = false;
  bool FStarted = false;
  ui::UniqueKernelHandle FThread;
};

}  // namespace archive
