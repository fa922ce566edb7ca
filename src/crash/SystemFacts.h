// What the handler asks the system for a report: the crashed tool's modules,
// the running processes, the machine, the versions of Windows and of files.
// Each answer is empty (or says "unknown") where the system gives none: a
// report with a gap is better than none.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crash/CrashFacts.h"

namespace crash {

// The modules loaded in process, ordered by address.
std::vector<TModuleFacts> ProcessModules(HANDLE process);

// The names of the running processes (no paths, no arguments), sorted, each
// once, with "(n)" after names that run more than once.
std::vector<std::wstring> RunningProcessNames();

// Processor, memory and displays.
std::vector<std::wstring> MachineFacts();

// "10.0.19045 (build 19045)" as the kernel tells it, not as a manifest
// lets GetVersionEx tell it; Wine's own version after it where Wine runs.
std::wstring WindowsVersion();

// A file's version from its version resource ("8.0.0.0"), or empty.
std::wstring FileVersion(const std::wstring& path);

// The running program's build stamp: the link time in its header (seconds
// since 1970, UTC), different in every build.
std::uint32_t BuildStamp();

// The time now, local, "2024-05-01 14:35:01".
std::wstring LocalTimeText();

}  // namespace crash
