#include "archive/ZipJob.h"

#include <process.h>
#include <shlwapi.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "archive/JobPaths.h"
#include "archive/TemporaryFiles.h"
#include "archive/ZipFileSource.h"
#include "archive/ZipNames.h"
#include "archive/ZipRecords.h"
#include "archive/ZipWriter.h"
#include "ui/MessageWait.h"

namespace archive {

namespace {

// The temporary archive sits beside the target, on the same volume, so that
// putting it in place is a rename and never a copy.
constexpr wchar_t kTemporarySuffix[] = L".partial";

std::wstring SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = L"system error " + std::to_wstring(code);
  if (length != 0 && text != nullptr) {
    message.assign(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
      message.pop_back();
    }
  }
  LocalFree(text);
  return message;
}

// A folder as the user reads it: without the trailing "\" that the job's
// own folder paths carry, except for a drive's root ("E:\").
std::wstring ShownFolder(std::wstring folder) {
  if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') {
    folder.pop_back();
  }
  return folder;
}

void DebugLine(const std::wstring& line) {
  OutputDebugStringW(line.c_str());
}

// Readers mostly wait for the file system (under Wine, for its server): one
// more than there are compressors keeps a file opening while each
// compressor's own is read.
unsigned ReadersFor(unsigned compressors) {
  return compressors + 1;
}

constexpr TFolderListing kSystemListing = {FindFirstFileExW, FindNextFileW};
TFolderListing g_listing = kSystemListing;

}  // namespace

void UseFolderListing(const TFolderListing& listing) noexcept {
  g_listing = listing;
}
void UseSystemFolderListing() noexcept {
  g_listing = kSystemListing;
}

std::wstring GetRelativePath(const std::wstring& base, const std::wstring& target) {
  if (base.size() < MAX_PATH && target.size() < MAX_PATH) {
    wchar_t buffer[MAX_PATH + 1] = {};
    // base ends in "\" and is taken as a file, so the folder it names is
    // base itself.
    if (PathRelativePathToW(buffer, base.c_str(), FILE_ATTRIBUTE_NORMAL, target.c_str(),
                            FILE_ATTRIBUTE_DIRECTORY) &&
        buffer[0] == L'.' && buffer[1] == L'\\') {
      return buffer;
    }
  }
  if (!base.empty() && target.size() > base.size() && StartsWithPath(target, base)) {
    return L".\\" + target.substr(base.size());
  }
  return {};
}

std::wstring TemporaryArchivePath(const std::wstring& zipFileName) {
  return zipFileName + kTemporarySuffix;
}

namespace {

// The name of a file's entry: its path below the source folder.
std::wstring EntryName(const std::wstring& sourceDir, const std::wstring& file) {
  std::wstring name = GetRelativePath(sourceDir, file);
  // Only the leading ".\" goes: the same two characters inside a name
  // ("v1.\x" below a folder named "v1.") belong to it.
  if (name.starts_with(L".\\")) name.erase(0, 2);
  return name;
}

// The listed files as the pipeline's readers open them, on their threads:
// each with the method its entry's name gives, opened as the writer opens a
// source path.
class TJobFiles final : public TPipelineFiles {
 public:
  TJobFiles(const std::vector<std::wstring>& list, const std::wstring& sourceDir)
      : list_(list), sourceDir_(sourceDir) {}

  std::uint16_t Method(std::size_t index) override {
    const std::wstring name = zip_separators(EntryName(sourceDir_, list_[index]));
    return zip_store_test(name) ? kMethodStored : kMethodDeflated;
  }

  std::unique_ptr<TPipelineSource> Open(std::size_t index, ZipSourceFacts& facts,
                                        TSourceFailure& failure) override {
    return zip_open_pipeline_source(ToSystemPath(list_[index]).c_str(), facts, failure);
  }

 private:
  const std::vector<std::wstring>& list_;
  const std::wstring& sourceDir_;
};

}  // namespace

// While it exists, a stop reaches the pipeline's threads at once.
class TZipFile::TPipelineInUse {
 public:
  TPipelineInUse(TZipFile& job, TEntryPipeline& pipeline) : job_(job) {
    std::lock_guard guard(job_.FPipelineLock);
    job_.FPipeline = &pipeline;
    // A stop that came before is passed on now.
    if (job_.FStop) pipeline.Cancel();
  }
  ~TPipelineInUse() {
    std::lock_guard guard(job_.FPipelineLock);
    job_.FPipeline = nullptr;
  }
  TPipelineInUse(const TPipelineInUse&) = delete;
  TPipelineInUse& operator=(const TPipelineInUse&) = delete;

 private:
  TZipFile& job_;
};

TZipFile::TZipFile() {
  const auto thread = _beginthreadex(nullptr, 0, &ThreadProc, this, CREATE_SUSPENDED, nullptr);
  FThread.reset(reinterpret_cast<HANDLE>(thread));
  if (!FThread) DebugLine(L"Archive job: no worker thread");
}

TZipFile::~TZipFile() {
  if (!FThread) return;
  if (!FStarted) ResumeThread(FThread.get());
  ui::WaitServingSentMessages(FThread.get());
}

void TZipFile::SetStop(bool stop) {
  FStop = stop;
  if (!stop) return;
  std::lock_guard guard(FPipelineLock);
  if (FPipeline != nullptr) FPipeline->Cancel();
}

TPipelineSettings TZipFile::PipelineSettings() const {
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  const unsigned compressors = FWorkerCount != 0 ? FWorkerCount : processors;
  return {.compressors = compressors, .readers = ReadersFor(compressors)};
}

void TZipFile::Start() {
  if (FStarted) return;
  FStarted = true;
  if (!FThread) {
    DoFinish();
    return;
  }
  FRunBody = true;
  ResumeThread(FThread.get());
}

bool TZipFile::IsFinished() const {
  if (!FThread) return true;
  return FStarted && WaitForSingleObject(FThread.get(), 0) == WAIT_OBJECT_0;
}

unsigned __stdcall TZipFile::ThreadProc(void* job) {
  auto* self = static_cast<TZipFile*>(job);
  if (!self->FRunBody) return 0;
  try {
    self->Execute();
  } catch (...) {
    DebugLine(L"Archive job: ended by an unexpected failure");
  }
  return 0;
}

void TZipFile::Execute() {
  try {
    FFileList.clear();
    const std::wstring givenSource = FSourceDir;
    // Absolute, normalised paths: the walk compares them with the target's,
    // and long ones must be in this form to take the "\\?\" prefix.
    // A source that has no full form stays empty: packing nothing is a
    // failure, packing the current drive's root instead would be worse.
    const std::wstring source = FullPath(FSourceDir);
    FSourceDir = source.empty() ? std::wstring() : WithTrailingSeparator(source);
    FZipFileName = FullPath(FZipFileName);
    if (FSourceDir.empty() || !FolderExists(FSourceDir)) {
      DebugLine(L"Archive job: no source folder: \"" + givenSource + L"\"");
      Fail({jrNoSource, givenSource});
    } else {
      ScanFolder(FSourceDir);
      if (FScanFailed) {
        // The reason is in FResult already.
      } else if (FStop) {
        Fail({jrStopped});
      } else if (FFileList.empty()) {
        DebugLine(L"Archive job: nothing to pack in \"" + FSourceDir + L"\"");
        Fail({jrSourceEmpty, ShownFolder(FSourceDir)});
      } else {
        AddFiles(FFileList);
      }
    }
  } catch (const std::exception& e) {
    Fail({jrInternal});
    const std::string what = e.what();
    DebugLine(L"Archive job: ended by a failure: " + std::wstring(what.begin(), what.end()));
  }
  DoFinish();
}

void TZipFile::ScanFolder(const std::wstring& root) {
  std::deque<std::wstring> queue{root};
  while (!queue.empty()) {
    const std::wstring& folder = queue.front();
    WIN32_FIND_DATAW entry;
    ui::UniqueFindHandle listing(g_listing.first(ToSystemPath(folder + L"*.*").c_str(),
                                                 FindExInfoBasic, &entry, FindExSearchNameMatch,
                                                 nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!listing) {
      // Only a drive's root lists nothing at all when it is empty; every
      // other folder holds "." and "..".
      const DWORD why = GetLastError();
      if (why != ERROR_FILE_NOT_FOUND) {
        FailScan(folder, why);
        return;
      }
    } else {
      do {
        if (FStop) return;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L".." || IsExcluded(name)) continue;
        std::wstring path = folder + name;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
          if (!IsOwnOutput(path)) FFileList.push_back(std::move(path));
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
          // A link to a folder may lead back up the tree or out of it; the
          // folder it leads to is packed where it really lies, if below.
          DebugLine(L"Archive job: folder link not followed: \"" + path + L"\"");
        } else {
          queue.push_back(path + L"\\");
        }
      } while (g_listing.next(listing.get(), &entry));
      if (const DWORD why = GetLastError(); why != ERROR_NO_MORE_FILES) {
        FailScan(folder, why);
        return;
      }
    }
    queue.pop_front();
  }
}

void TZipFile::FailScan(const std::wstring& folder, DWORD why) {
  FScanFailed = true;
  // Below the source, as the archive would have named it; the source
  // itself by its full path.
  std::wstring shown = GetRelativePath(FSourceDir, folder);
  if (shown.starts_with(L".\\")) shown.erase(0, 2);
  if (shown.empty()) shown = folder;
  Fail({jrFolderUnreadable, ShownFolder(shown), 0, why});
  DebugLine(L"Archive job: folder not listed: \"" + folder + L"\": " + SystemMessage(why));
}

void TZipFile::Fail(TJobResult result) {
  // The first failure is the cause; later ones follow from it.
  if (!FResult) FResult = std::move(result);
}

void TZipFile::AddFiles(const std::vector<std::wstring>& list) {
  const std::wstring temporary = TemporaryArchivePath(FZipFileName);
  const std::wstring folder = FolderOf(FZipFileName);
  const std::wstring shownFolder = ShownFolder(folder);
  if (!folder.empty() && !ForceFolders(folder)) {
    const DWORD why = GetLastError();
    DebugLine(L"Archive job: folder not created: \"" + folder + L"\": " + SystemMessage(why));
    Fail(TargetFailure(why, shownFolder));
  }

  ZipHandle archive = zip_create_file(ToSystemPath(temporary).c_str(), nullptr);
  if (archive == nullptr) {
    ReportFailure(L"archive not created", temporary, zip_last_result);
    Fail(WriterFailure(TWriterStep::create, zip_last_result, zip_last_system_error(), {},
                       shownFolder));
    return;
  }
  const TAnnouncedTemporaryFile announced(ToSystemPath(temporary));
  ZipResult result = zip_result::ok;
  try {
    // The files are read and compressed on the pipeline's threads, several
    // at once, and written here one by one in the order of the list.
    TJobFiles files(list, FSourceDir);
    TEntryPipeline pipeline(list.size(), files, PipelineSettings());
    const TPipelineInUse inUse(*this, pipeline);
    if (!pipeline.Start()) {
      DebugLine(L"Archive job: no threads to prepare the files on");
      Fail({jrInternal});
    }
    const std::size_t count = FResult ? 0 : list.size();
    for (std::size_t i = 0; i < count; ++i) {
      FCurrentFile = list[i];
      const std::wstring name = EntryName(FSourceDir, FCurrentFile);
      // A file without a name below the source (none is expected) is
      // refused by the writer like any other bad name.
      result = zip_add_prepared(archive, name.c_str(), pipeline.Entry(i));
      pipeline.Done(i);
      // A stop may have cut the add short: that is no failure of the file.
      if (FStop) {
        Fail({jrStopped});
        FStopReport = true;
        break;
      }
      if (result != 0) {
        ReportFailure(L"file not added", FCurrentFile, result);
        Fail(WriterFailure(TWriterStep::add, result, zip_last_system_error(), name, shownFolder));
        break;
      }
      FileAdded(i + 1);
    }
  } catch (...) {
    zip_close(archive);
    DeleteFileW(ToSystemPath(temporary).c_str());
    throw;
  }

  result = zip_close(archive);
  if (result != 0 && !FResult) {
    ReportFailure(L"archive not ended", temporary, result);
    Fail(WriterFailure(TWriterStep::close, result, zip_last_system_error(), {}, shownFolder));
  }
  if (FStop) Fail({jrStopped});
  if (!FResult) {
    if (MoveFileExW(ToSystemPath(temporary).c_str(), ToSystemPath(FZipFileName).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      FResult = TJobResult{};
      return;
    }
    const DWORD why = GetLastError();
    DebugLine(L"Archive job: archive not put in place: \"" + FZipFileName + L"\": " +
              SystemMessage(why));
    Fail(TargetFailure(why, shownFolder));
  }
  DeleteFileW(ToSystemPath(temporary).c_str());
}

void TZipFile::FileAdded(std::size_t done) {
  FFilesDone.store(done);
  // A report is posted only when the percentage moves, and only when none
  // is on its way: the window takes every file added up to then with it.
  const std::uint16_t percent = ProgressPercent(done, FFileList.size());
  if (percent == FPostedPercent) return;
  FPostedPercent = percent;
  if (!FReportPosted.exchange(true)) FHandOver.Notify();
}

void TZipFile::DeliverProgress() {
  // Cleared before the count is read: a file added after the read posts a
  // report of its own.
  FReportPosted.store(false);
  const std::size_t done = FFilesDone.load();
  while (FFilesReported < done) {
    // Counted before the callback: a report it lets in runs only on the
    // files after this one.
    const std::size_t i = FFilesReported++;
    if (FOnProgress) FOnProgress(ProgressPercent(i + 1, FFileList.size()), FFileList[i]);
  }
}

void TZipFile::DoFinish() {
  // A body that ended without deciding (it cannot) counts as a fault.
  const TJobResult result = FResult.value_or(TJobResult{jrInternal});
  FHandOver.Run([this, &result] {
    // The files whose reports are still on their way come first.
    DeliverProgress();
    if (FStopReport && FOnProgress) FOnProgress(100, FCurrentFile);
    if (FOnFinish) FOnFinish(result);
  });
}

bool TZipFile::IsExcluded(const std::wstring& name) const {
  for (const std::wstring& excluded : FExcludeList) {
    if (SamePath(name, excluded)) return true;
  }
  return false;
}

bool TZipFile::IsOwnOutput(const std::wstring& path) const {
  // An archive written into the folder it packs must not pack itself, nor
  // the file it grows in.
  return SamePath(path, FZipFileName) || SamePath(path, TemporaryArchivePath(FZipFileName));
}

void TZipFile::ReportFailure(const std::wstring& what, const std::wstring& path,
                             std::uint32_t code) {
  char text[128] = {};
  zip_result_text(code, text, sizeof text);
  // The writer's texts are plain ASCII.
  const std::wstring reason(text, text + std::char_traits<char>::length(text));
  DebugLine(L"Archive job: " + what + L": \"" + path + L"\": " + reason);
}

}  // namespace archive
