#include "JobTestSupport.h"

#include <winioctl.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "archive/JobPaths.h"
#include "archive/ZipFileLayer.h"
#include "ui/MessageWait.h"
#include "ui/UniqueHandle.h"

namespace jobtest {

using archive::FolderOf;
using archive::ForceFolders;
using archive::ToSystemPath;

namespace {

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// The Linux path of a file under Wine (Wine's own kernel32 export).
std::wstring UnixPath(const std::wstring& path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (convert == nullptr) return {};
  char* unix = convert(ToSystemPath(path).c_str());
  if (unix == nullptr) return {};
  std::wstring result = Wide(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Starts a program (under Wine also a Linux one, named by a "Z:" path).
// Wine does not let a Windows program wait for a Linux one: callers wait for
// what the program makes instead.
bool Start(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

// Polls until exists(path) is wanted, for at most timeoutMs.
bool WaitUntilExists(const std::wstring& path, bool wanted, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (Exists(path) != wanted) {
    if (GetTickCount64() > end) return false;
    Sleep(10);
  }
  return true;
}

std::wstring Quoted(const std::wstring& text) {
  return L"\"" + text + L"\"";
}

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(ToSystemPath(link).c_str(), nullptr)) return false;
  ui::UniqueFileHandle folder(
      CreateFileW(ToSystemPath(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  // A mount-point reparse buffer: tag, sizes, then the substitute name
  // ("\??\" + target) and an empty print name, both NUL-terminated.
  const std::wstring substitute = L"\\??\\" + target;
  const auto nameBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  std::vector<BYTE> buffer(8 + 8 + nameBytes + 2 * sizeof(wchar_t));
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  const WORD dataLength = static_cast<WORD>(buffer.size() - 8);
  const WORD header[4] = {0, nameBytes, static_cast<WORD>(nameBytes + sizeof(wchar_t)), 0};
  std::memcpy(buffer.data(), &tag, 4);
  std::memcpy(buffer.data() + 4, &dataLength, 2);
  std::memcpy(buffer.data() + 8, header, sizeof header);
  std::memcpy(buffer.data() + 16, substitute.data(), nameBytes);
  DWORD done = 0;
  if (folder && DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                static_cast<DWORD>(buffer.size()), nullptr, 0, &done, nullptr)) {
    return true;
  }
  folder.reset();
  RemoveDirectoryW(ToSystemPath(link).c_str());
  return false;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  ui::UniqueFindHandle listing(FindFirstFileW(ToSystemPath(folder + L"*").c_str(), &entry));
  if (listing) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      const DWORD attributes = entry.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(path + L"\\");
      } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(ToSystemPath(path).c_str());
      } else {
        SetFileAttributesW(ToSystemPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ToSystemPath(path).c_str());
      }
    } while (FindNextFileW(listing.get(), &entry));
  }
  listing.reset();
  RemoveDirectoryW(ToSystemPath(folder).c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static int counter = 0;
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, base);
  path_ = std::wstring(base) + L"brk_job_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter) + L"\\";
  ForceFolders(path_);
}

ScratchFolder::~ScratchFolder() {
  // Links go first and by themselves, so that nothing they lead to is
  // removed through them.
  for (const std::wstring& link : links_) {
    if (!RemoveDirectoryW(ToSystemPath(link).c_str()) && UnderWine() &&
        Start(L"Z:\\bin\\rm -f " + Quoted(UnixPath(link)))) {
      WaitUntilExists(link, false, 10000);
    }
  }
  RemoveTree(path_);
}

std::wstring ScratchFolder::Write(const std::wstring& relative, const std::string& bytes) const {
  const std::wstring path = path_ + relative;
  ForceFolders(FolderOf(path));
  ui::UniqueFileHandle file(CreateFileW(ToSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD done = 0;
  if (file) WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  return path;
}

std::wstring ScratchFolder::MakeFolder(const std::wstring& relative) const {
  const std::wstring path = path_ + relative;
  ForceFolders(path);
  return path;
}

bool ScratchFolder::MakeFolderLink(const std::wstring& relative, const std::wstring& target) {
  const std::wstring link = path_ + relative;
  std::wstring folder = target;
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  bool made = MakeJunction(link, folder);
  if (!made && UnderWine()) {
    made = Start(L"Z:\\bin\\ln -s " + Quoted(UnixPath(folder)) + L" " + Quoted(UnixPath(link))) &&
           WaitUntilExists(link, true, 10000);
  }
  if (made) links_.push_back(link);
  return made;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(ToSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::wstring& path) {
  ui::UniqueFileHandle file(CreateFileW(ToSystemPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
  if (!file) return {};
  LARGE_INTEGER size{};
  GetFileSizeEx(file.get(), &size);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  bytes.resize(done);
  return bytes;
}

std::string NoisyBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::vector<std::string> ArchiveEntryNames(const std::wstring& archivePath) {
  const std::string bytes = ReadAll(archivePath);
  auto le16 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  auto le32 = [&](std::size_t at) { return le16(at) | le16(at + 2) << 16; };
  std::vector<std::string> names;
  // The job's archives carry no comment: the end record is the last 22 bytes.
  if (bytes.size() < 22 || le32(bytes.size() - 22) != 0x06054B50) return names;
  const std::size_t count = le16(bytes.size() - 22 + 10);
  std::size_t at = le32(bytes.size() - 22 + 16);
  for (std::size_t i = 0; i < count && at + 46 <= bytes.size() && le32(at) == 0x02014B50; ++i) {
    const std::size_t nameLength = le16(at + 28);
    names.push_back(bytes.substr(at + 46, nameLength));
    at += 46 + nameLength + le16(at + 30) + le16(at + 32);
  }
  return names;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

ReaderVerdict CheckWithReaders(const std::wstring& archivePath, const std::wstring& source,
                               const std::vector<std::string>& expectedNames) {
  ReaderVerdict verdict;
  if (!UnderWine()) return verdict;
  // The zip writer's checker reads every NAME.zip beside a NAME.json that
  // lists the entries and where their bytes come from.
  ScratchFolder work;
  const std::wstring folder = work.MakeFolder(L"archives");
  if (!CopyFileW(ToSystemPath(archivePath).c_str(), ToSystemPath(folder + L"\\job.zip").c_str(),
                 FALSE)) {
    verdict.ran = true;
    verdict.report = "the archive could not be copied";
    return verdict;
  }
  std::string unixSource = Utf8(UnixPath(source));
  if (!unixSource.ends_with('/')) unixSource += '/';
  std::string manifest = "{\"password\": \"\", \"entries\": [";
  for (std::size_t i = 0; i < expectedNames.size(); ++i) {
    manifest += (i ? ",\n" : "\n") + std::string("{\"name\": ") + JsonString(expectedNames[i]) +
                ", \"source\": " + JsonString(unixSource + expectedNames[i]) +
                ", \"zeros\": 0, \"folder\": false, \"method\": -1}";
  }
  manifest += "]}\n";
  work.Write(L"archives\\job.json", manifest);

  // Wine starts Linux programs but cannot wait for them: the report appears
  // under its final name only once it is complete.
  const std::wstring report = UnixPath(work / L"report.txt");
  const std::wstring script = L"PATH=/usr/local/bin:/usr/bin:/bin:$PATH; /usr/bin/python3 '" +
                              Wide(BRK_SOURCE_DIR "/tests/archive/check_archives.py") + L"' '" +
                              UnixPath(folder) + L"' >'" + report +
                              L".tmp' 2>&1; echo exit=$? >>'" + report + L".tmp'; mv '" + report +
                              L".tmp' '" + report + L"'";
  verdict.ran = Start(L"Z:\\bin\\sh -c \"" + script + L"\"");
  if (!verdict.ran) return verdict;
  if (!WaitUntilExists(work / L"report.txt", true, 120000)) {
    verdict.report = "the readers gave no report";
    return verdict;
  }
  verdict.report = ReadAll(work / L"report.txt");
  verdict.ok = verdict.report.find("exit=0") != std::string::npos;
  return verdict;
}

namespace {

// StopAt::insideAFile: the job to stop and the reads counted so far.
std::atomic<archive::TZipFile*> g_jobToStop = nullptr;
std::atomic<int> g_reads = 0;
constexpr int kStoppingRead = 3;

BOOL WINAPI ReadAndStopAtTheThird(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done,
                                  LPOVERLAPPED overlapped) {
  if (++g_reads == kStoppingRead) g_jobToStop.load()->SetStop(true);
  return ReadFile(file, buffer, size, done, overlapped);
}

// StopAt::addPass: reads after these wait until the owner has stopped.
constexpr int kReadsBeforeTheStop = 8;
std::atomic<bool> g_stopSent = false;

BOOL WINAPI ReadUntilHeldForTheStop(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done,
                                    LPOVERLAPPED overlapped) {
  if (++g_reads > kReadsBeforeTheStop) {
    // Long enough for any owner, short of hanging the test for ever.
    for (int waited = 0; !g_stopSent && waited < 30000; ++waited) Sleep(1);
  }
  return ReadFile(file, buffer, size, done, overlapped);
}

}  // namespace

JobRun RunJob(const std::wstring& source, const std::wstring& target, StopAt stop,
              const std::vector<std::wstring>& excluded, unsigned workers) {
  JobRun run;
  const DWORD owner = GetCurrentThreadId();
  bool stopRequested = false;
  auto job = std::make_unique<archive::TZipFile>();
  job->SetZipFileName(target);
  job->SetSourceDir(source);
  job->SetWorkerCount(workers);
  run.readers = job->ReaderCount();
  for (const std::wstring& name : excluded) job->Exclude(name);
  job->SetOnProgress([&](std::uint16_t percent, const std::wstring& file) {
    run.progress.push_back({percent, file});
    run.onOwnerThread = run.onOwnerThread && GetCurrentThreadId() == owner;
    if (stop == StopAt::addPass) stopRequested = true;
  });
  job->SetOnFinish([&](const archive::TJobResult& result) {
    run.finishes.push_back(result.Succeeded());
    run.results.push_back(result);
    run.onOwnerThread = run.onOwnerThread && GetCurrentThreadId() == owner;
  });
  if (stop == StopAt::walk) job->SetStop(true);
  if (stop == StopAt::insideAFile) {
    g_jobToStop = job.get();
    g_reads = 0;
    zip_use_file_layer({&ReadAndStopAtTheThird, &WriteFile});
  }
  if (stop == StopAt::addPass) {
    g_stopSent = false;
    g_reads = 0;
    zip_use_file_layer({&ReadUntilHeldForTheStop, &WriteFile});
  }
  job->Start();
  // As the window does it: the stop comes from inside the wait, and the
  // job is destroyed at once, its last reports served by its destructor.
  ui::ProcessMessagesUntil([&] {
    if (stopRequested && job) {
      job->SetStop(true);
      g_stopSent = true;
      job.reset();
    }
    return !job || job->IsFinished();
  });
  job.reset();
  if (stop == StopAt::addPass) zip_use_system_files();
  if (stop == StopAt::insideAFile) {
    zip_use_system_files();
    run.readsAfterStop = std::max(0, g_reads - kStoppingRead);
  }
  return run;
}

}  // namespace jobtest
