// Runs the archive job on one folder, as the window runs it, and prints what
// it cost. scripts/bench job times the whole process from the outside as
// well, the way it times 7-Zip.
//
// job_bench <source folder> <archive> <watched|unwatched> [workers]
//   watched:   the owner serves every message as the window does, so each
//              progress report reaches it while the job runs;
//   unwatched: the owner serves none until the job has finished (the
//              reports all arrive with the finished report), which shows
//              what the reports cost the job;
//   workers:   compressing threads (default: one per logical processor).
//   prints: files=<n> seconds=<s> ms_per_file=<ms> success=<0|1>
//           archive_bytes=<n> peak_mb=<MB of the process's peak working set>
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

#include "archive/ZipJob.h"
#include "ui/MessageWait.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr,
                 "usage: job_bench <source folder> <archive> <watched|unwatched> [workers]\n");
    return 2;
  }
  const std::wstring source = argv[1];
  const std::wstring target = argv[2];
  const bool watched = std::wstring(argv[3]) != L"unwatched";

  std::size_t files = 0;
  bool success = false;
  archive::TZipFile job;
  job.SetSourceDir(source);
  job.SetZipFileName(target);
  if (argc == 5) job.SetWorkerCount(static_cast<unsigned>(_wtoi(argv[4])));
  job.SetOnProgress([&](std::uint16_t, const std::wstring&) { ++files; });
  job.SetOnFinish([&](const archive::TJobResult& result) { success = result.Succeeded(); });

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  job.Start();
  if (watched) {
    ui::ProcessMessagesUntil([&] { return job.IsFinished(); });
  } else {
    while (!job.IsFinished()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
      ui::ServeSentMessages();
    }
  }
  QueryPerformanceCounter(&end);

  const double seconds = Seconds(start, end);
  std::printf(
      "files=%zu seconds=%.3f ms_per_file=%.4f success=%d archive_bytes=%lld peak_mb=%.1f\n", files,
      seconds, files ? seconds * 1000.0 / static_cast<double>(files) : 0.0, success ? 1 : 0,
      FileSize(target), PeakWorkingSetMb());
  return success ? 0 : 1;
}
