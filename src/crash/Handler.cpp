// The handler: a hidden mode of the program, started by the tool with the
// shared block. It waits for either the tool's end (then it ends too, at
// once) or a crash, and then, in this order: writes the dump while the
// crashed tool still exists, lets the tool end with its exception's code,
// removes the temporary files the tool had registered (the tool's handles
// kept them until it ended), writes the report, keeps the folder to its
// newest reports and shows the dialog.
#include <signal.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <exception>

#include "crash/CrashDialog.h"
#include "crash/CrashFacts.h"
#include "crash/CrashReporter.h"
#include "crash/Minidump.h"
#include "crash/ReportFolder.h"
#include "crash/SharedBlock.h"
#include "crash/SystemFacts.h"
#include "crash/TemporaryFileSlots.h"
#include "crash/ToolSide.h"
#include "ui/ModulePath.h"

namespace crash {

namespace {

// How long a crashed tool may take to end once its dump is written (it only
// has to end itself); after that the handler ends it.
constexpr DWORD kToolEndMs = 10000;

// A crash of the handler itself ends it without a word: Windows' or Wine's
// own crash handling would show a box, or wait on a debugger, while the
// tool waits for the handler.
[[noreturn]] void EndQuietly(DWORD code) {
  TerminateProcess(GetCurrentProcess(), code);
  for (;;) Sleep(INFINITE);
}

LONG CALLBACK QuietFirstChance(EXCEPTION_POINTERS* exception) {
  const DWORD code = exception->ExceptionRecord->ExceptionCode;
  // Faults only (severity "error", not a C++ exception in flight or a
  // debugger's note), and only this program's, which handles none of them.
  const auto at = reinterpret_cast<std::uintptr_t>(exception->ExceptionRecord->ExceptionAddress);
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto start = reinterpret_cast<std::uintptr_t>(base);
  if ((code & 0xF0000000) == 0xC0000000 && at >= start &&
      at < start + nt->OptionalHeader.SizeOfImage) {
    EndQuietly(code);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI QuietLastChance(EXCEPTION_POINTERS* exception) {
  EndQuietly(exception->ExceptionRecord->ExceptionCode);
}

void InstallQuietEnd() {
  AddVectoredExceptionHandler(1, QuietFirstChance);
  SetUnhandledExceptionFilter(QuietLastChance);
  std::set_terminate([] { EndQuietly(kFailFastCode); });
  signal(SIGABRT, [](int) { EndQuietly(kFailFastCode); });
}

// A crash of the handler on purpose, for the test that proves the tool
// still ends: a write through a null pointer, hidden from the compiler.
int* volatile g_nowhere = nullptr;
[[gnu::noinline]] void HandlerCrashOnPurpose() {
  *static_cast<volatile int*>(g_nowhere) = 5;
}

template <typename T>
T* Inherited(std::uint64_t value) {
  return reinterpret_cast<T*>(static_cast<std::uintptr_t>(value));
}

class TSharedView {
 public:
  explicit TSharedView(HANDLE mapping)
      : block_(static_cast<TSharedBlock*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TSharedBlock)))) {}
  ~TSharedView() {
    if (block_ != nullptr) UnmapViewOfFile(block_);
  }
  TSharedView(const TSharedView&) = delete;
  TSharedView& operator=(const TSharedView&) = delete;
  TSharedBlock* get() const { return block_; }

 private:
  TSharedBlock* block_;
};

std::wstring ThreadRole(const TSharedBlock& shared) {
  if (shared.crashThreadId == shared.uiThreadId) return L"user interface";
  if (shared.crashThreadId == shared.jobThreadId) return L"archive job";
  return L"other";
}

std::wstring WithoutSystemPrefix(const std::wstring& path) {
  return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}

std::vector<std::wstring> Readable(const std::vector<std::wstring>& paths) {
  std::vector<std::wstring> readable;
  for (const std::wstring& path : paths) readable.push_back(WithoutSystemPrefix(path));
  return readable;
}

std::wstring ProgramVersion() {
  wchar_t program[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH * 4);
  return length == 0 ? std::wstring() : FileVersion(program);
}

void ReportCrash(TSharedBlock& shared, HANDLE tool, const THandlerServices& services) {
  TCrashFacts facts;
  facts.buildStamp = BuildStamp();
  facts.toolVersion = ProgramVersion();
  facts.code = shared.record.ExceptionCode;
  facts.kind = shared.kind;
  facts.address = reinterpret_cast<std::uintptr_t>(shared.record.ExceptionAddress);
  const DWORD parameters =
      std::min<DWORD>(shared.record.NumberParameters, EXCEPTION_MAXIMUM_PARAMETERS);
  facts.parameters.assign(shared.record.ExceptionInformation,
                          shared.record.ExceptionInformation + parameters);
  facts.threadId = shared.crashThreadId;
  facts.threadRole = ThreadRole(shared);
  const std::uint32_t frames = std::min<std::uint32_t>(shared.frameCount, kMaxFrames);
  facts.frames.assign(shared.frames, shared.frames + frames);
  facts.firstScannedFrame = shared.firstScannedFrame;
  facts.exceptionType.assign(shared.exceptionType, strnlen(shared.exceptionType, kTypeNameChars));
  facts.exceptionText.assign(shared.exceptionText,
                             strnlen(shared.exceptionText, kExceptionTextChars));
  // While the tool still exists.
  facts.modules = ProcessModules(tool);

  if (shared.handlerCrashOnPurpose != 0) HandlerCrashOnPurpose();

  const std::wstring folder =
      ReportsFolder(services.localAppDataFolder ? services.localAppDataFolder() : std::wstring());
  const bool haveFolder =
      !folder.empty() && (SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr) == ERROR_SUCCESS ||
                          GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES);
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  const std::wstring stem = folder + ReportStem(utc, shared.toolProcessId);
  const std::wstring dumpPath = stem + L".dmp";
  const bool dumped = haveFolder && WriteMinidump(tool, shared.toolProcessId, shared.crashThreadId,
                                                  shared.pointersInTool, TemporaryName(dumpPath));

  // The tool may end now; its files are free once it has.
  SetEvent(Inherited<void>(shared.dumpDone));
  if (WaitForSingleObject(tool, kToolEndMs) != WAIT_OBJECT_0) {
    TerminateProcess(tool, shared.record.ExceptionCode);
    WaitForSingleObject(tool, kToolEndMs);
  }
  const TRemoval removal = RemoveTemporaryFiles(shared);
  facts.removedFiles = Readable(removal.removed);
  facts.goneFiles = Readable(removal.alreadyGone);
  facts.leftFiles = Readable(removal.leftBehind);

  facts.windowsVersion = WindowsVersion();
  facts.localTime = LocalTimeText();
  facts.processes = RunningProcessNames();
  facts.machine = MachineFacts();
  if (dumped && PutInPlace(dumpPath)) facts.dumpName = dumpPath.substr(folder.size());

  TCrashDialogContent dialog;
  dialog.leftFiles = facts.leftFiles;
  const std::wstring reportPath = stem + L".txt";
  if (haveFolder && WriteTextFile(reportPath, ComposeReport(facts))) dialog.reportPath = reportPath;
  if (haveFolder) PruneReports(folder);
  ShowCrashDialog(dialog, services);
}

}  // namespace

int RunCrashHandler(const wchar_t* commandLine, const THandlerServices& services) {
  InstallQuietEnd();
  const wchar_t* value = commandLine + std::wcslen(kHandlerSwitch);
  wchar_t* end = nullptr;
  const unsigned long long mapping = std::wcstoull(value, &end, 10);
  if (end == value || mapping == 0) return 0;
  const TSharedView view(Inherited<void>(mapping));
  TSharedBlock* shared = view.get();
  if (shared == nullptr || shared->magic != kSharedMagic || shared->version != kSharedVersion) {
    return 0;
  }
  HANDLE tool = Inherited<void>(shared->toolProcess);
  // The crash first: a tool that crashed and then ended (it waited too long
  // for the handler) is still reported as well as it can be.
  const HANDLE waits[] = {Inherited<void>(shared->crashEvent), tool};
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
  ReportCrash(*shared, tool, services);
  return 0;
}

}  // namespace crash
