// Crash reports. When the tool crashes, in any thread and in any of the ways
// a native program can (a hardware fault, a stack overflow, a C++ exception
// that nothing catches, std::terminate, a pure virtual call, abort), it
// leaves a minidump and a readable report on the user's machine, removes the
// half-written archive of a running generation, tells the user in a plain
// dialog, and ends with the exception's code.
//
// The crashed process does as little as it can: its catchers copy the
// exception and its context into memory prepared at start, without the heap,
// and wake a thread made for this, which walks the stack and hands over to
// the handler. The handler is a hidden mode of this same program, started
// once the window shows: it writes the dump from outside the crashed process
// (so that a corrupt heap or an overflowed stack cannot stop it), lets the
// tool end, removes the temporary files the tool had registered, writes the
// report and shows the dialog. A crash before the handler runs starts it at
// that moment instead. The handler ends with the tool.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <windows.h>

namespace crash {

// Called first thing in the program, on its main thread: from here on every
// crash is caught, and reported as well as the state of the process allows.
void InstallCrashReporter();

// Starts the handler on a thread of its own as soon as the calling thread's
// message loop first runs out of messages, that is, once the window that
// was just shown is painted. Call on the user-interface thread, before its
// message loop.
void StartCrashHandlerWhenIdle();

// What the handler needs from the rest of the program.
struct THandlerServices {
  // The user's local application-data folder, without a trailing "\".
  std::function<std::wstring()> localAppDataFolder;
  // A message text in the user's language, or defaultText.
  std::function<std::wstring(std::wstring_view key, std::wstring_view defaultText)> message;
  std::function<HINSTANCE(HWND owner, const wchar_t* verb, const wchar_t* file,
                          const wchar_t* parameters, const wchar_t* folder, int show)>
      shellExecute;
};

// True when this start is the handler's (commandLine as wWinMain gets it).
bool IsCrashHandlerStart(const wchar_t* commandLine);
// The handler's whole life; returns the handler's exit code.
int RunCrashHandler(const wchar_t* commandLine, const THandlerServices& services);

// The archive job's temporary files (see archive/TemporaryFiles.h): the
// handler removes those that exist when the tool crashes.
void TemporaryFileCreated(const std::wstring& path) noexcept;
void TemporaryFileGone(const std::wstring& path) noexcept;

}  // namespace crash
