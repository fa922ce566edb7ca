// Times the archive job on one folder, with an owner that waits for it as
// the window does: either the window's own wait (sleep until a message
// comes, at most 10 ms) or the older fixed wait (sleep 10 ms, then handle
// what has come), which shows what serving hand-overs late costs.
//
// job_bench <source folder> <archive> <msgwait|sleep10>
//   prints: files=<n> seconds=<s> ms_per_file=<ms> success=<0|1> archive_bytes=<n>
// job_bench handover <count> <msgwait|sleep10>
//   times hand-overs alone, from a worker that does nothing else;
//   prints: handovers=<n> seconds=<s> ms_per_handover=<ms>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "archive/UiHandOver.h"
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

// Waits until done() as the owner of a job does: with the window's wait, or
// with a fixed sleep of 10 ms before each look at the messages.
void WaitAsOwner(bool fixedSleep, const std::function<bool()>& done) {
  if (!fixedSleep) {
    ui::ProcessMessagesUntil(done);
    return;
  }
  int quitCode = 0;
  while (!done()) {
    Sleep(10);
    ui::ProcessPendingMessages(quitCode);
  }
}

int TimeHandOvers(int count, bool fixedSleep) {
  archive::TUiHandOver handOver;
  std::atomic<bool> done = false;
  int served = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  std::thread worker([&] {
    for (int i = 0; i < count; ++i) handOver.Run([&] { ++served; });
    done = true;
  });
  WaitAsOwner(fixedSleep, [&] { return done.load(); });
  QueryPerformanceCounter(&end);
  worker.join();
  const double seconds = Seconds(start, end);
  std::printf("handovers=%d seconds=%.3f ms_per_handover=%.4f\n", served, seconds,
              served ? seconds * 1000.0 / served : 0.0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: job_bench <source folder> <archive> <msgwait|sleep10>\n"
                 "       job_bench handover <count> <msgwait|sleep10>\n");
    return 2;
  }
  const bool fixedSleep = std::wstring(argv[3]) == L"sleep10";
  if (std::wstring(argv[1]) == L"handover") return TimeHandOvers(_wtoi(argv[2]), fixedSleep);
  const std::wstring source = argv[1];
  const std::wstring target = argv[2];

  std::size_t files = 0;
  bool success = false;
  archive::TZipFile job;
  job.SetSourceDir(source);
  job.SetZipFileName(target);
  job.SetOnProgress([&](std::uint16_t, const std::wstring&) { ++files; });
  job.SetOnFinish([&](const archive::TJobResult& result) { success = result.Succeeded(); });

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  job.Start();
  WaitAsOwner(fixedSleep, [&] { return job.IsFinished(); });
  QueryPerformanceCounter(&end);

  const double seconds = Seconds(start, end);
  std::printf("files=%zu seconds=%.3f ms_per_file=%.4f success=%d archive_bytes=%lld\n", files,
              seconds, files ? seconds * 1000.0 / static_cast<double>(files) : 0.0, success ? 1 : 0,
              FileSize(target));
  return success ? 0 : 1;
}
