// Starting the handler: this same program with a switch, handed the shared
// block and the few handles it needs, and nothing else of the tool's.
#include <process.h>

#include <cstdio>
#include <cwchar>

#include "crash/CrashOnPurpose.h"
#include "crash/CrashReporter.h"
#include "crash/TemporaryFileSlots.h"
#include "crash/ToolSide.h"

namespace crash {

namespace {

// Static, so that the fall-back at a crash needs no heap of its own for them.
wchar_t g_program[kPathChars];
wchar_t g_commandLine[kPathChars + 64];
// Room for a thread-attribute list of one attribute (48 bytes on x64).
alignas(16) unsigned char g_attributeBuffer[256];

bool MakeCommandLine(const TToolSide& side) {
  const DWORD length = GetModuleFileNameW(nullptr, g_program, kPathChars);
  if (length == 0 || length >= kPathChars) return false;
  const int written = std::swprintf(
      g_commandLine, sizeof g_commandLine / sizeof g_commandLine[0], L"\"%ls\" %ls %llu", g_program,
      kHandlerSwitch,
      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(side.mapping.get())));
  return written > 0;
}

// Starts the handler, letting it inherit exactly the handles it is given.
// Windows that do not know handle lists get plain inheritance, which passes
// no more: nothing else in the tool is made inheritable.
HANDLE LaunchHandler(TToolSide& side) {
  if (!MakeCommandLine(side)) return nullptr;
  static HANDLE inherited[4];
  inherited[0] = side.mapping.get();
  inherited[1] = side.toolProcess.get();
  inherited[2] = side.crashEvent.get();
  inherited[3] = side.dumpDone.get();

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  DWORD flags = CREATE_DEFAULT_ERROR_MODE;
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(g_attributeBuffer);
  if (size <= sizeof g_attributeBuffer && InitializeProcThreadAttributeList(list, 1, 0, &size)) {
    if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                  sizeof inherited, nullptr, nullptr)) {
      startup.lpAttributeList = list;
      flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
  }
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(nullptr, g_commandLine, nullptr, nullptr, TRUE, flags, nullptr,
                                nullptr, &startup.StartupInfo, &process);
  if (!started && startup.lpAttributeList != nullptr) {
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    started =
        CreateProcessW(nullptr, g_commandLine, nullptr, nullptr, TRUE, CREATE_DEFAULT_ERROR_MODE,
                       nullptr, nullptr, &startup.StartupInfo, &process);
  }
  if (startup.lpAttributeList != nullptr) DeleteProcThreadAttributeList(list);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

unsigned __stdcall StarterThread(void*) {
  if (StartHandler()) CrashOnPurposeWhenIdle();
  return 0;
}

void CALLBACK StartWhenIdle(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const auto thread = _beginthreadex(nullptr, 0, StarterThread, nullptr, 0, nullptr);
  if (thread != 0) CloseHandle(reinterpret_cast<HANDLE>(thread));
}

}  // namespace

bool StartHandler() noexcept {
  TToolSide* side = ToolSide();
  if (side == nullptr || side->shared == nullptr) return false;
  AcquireSRWLockExclusive(&side->handlerLock);
  if (!side->handlerTried) {
    side->handlerTried = true;
    side->handler.reset(LaunchHandler(*side));
    if (!side->handler) OutputDebugStringW(L"Crash reports: the handler did not start");
  }
  const bool running = static_cast<bool>(side->handler);
  ReleaseSRWLockExclusive(&side->handlerLock);
  return running;
}

void StartCrashHandlerWhenIdle() {
  // A timer's message comes only once nothing else is waiting, paints
  // included: the window is on the screen by then.
  SetTimer(nullptr, 0, USER_TIMER_MINIMUM, StartWhenIdle);
}

bool IsCrashHandlerStart(const wchar_t* commandLine) {
  const std::size_t length = std::wcslen(kHandlerSwitch);
  return commandLine != nullptr && std::wcsncmp(commandLine, kHandlerSwitch, length) == 0 &&
         commandLine[length] == L' ';
}

void TemporaryFileCreated(const std::wstring& path) noexcept {
  TToolSide* side = ToolSide();
  if (side == nullptr || side->shared == nullptr) return;
  side->shared->jobThreadId = GetCurrentThreadId();
  RegisterTemporaryFile(*side->shared, path);
  CrashOnPurposeInJob();
}

void TemporaryFileGone(const std::wstring& path) noexcept {
  TToolSide* side = ToolSide();
  if (side == nullptr || side->shared == nullptr) return;
  ForgetTemporaryFile(*side->shared, path);
}

}  // namespace crash
