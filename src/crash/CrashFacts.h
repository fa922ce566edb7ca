// What a crash report says, gathered by the handler and turned into text
// here. The text is built from plain values so that its form can be tested
// without a crash; the gathering (CrashFactsGather.cpp) talks to the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "crash/SharedBlock.h"

namespace crash {

struct TModuleFacts {
  std::wstring name;     // file name without its folder
  std::wstring version;  // "8.0.0.0", or empty when the file has none
  std::uint64_t base = 0;
  std::uint32_t size = 0;
};

struct TCrashFacts {
  std::wstring toolVersion;
  std::uint32_t buildStamp = 0;  // the .exe's link time, seconds since 1970 (UTC)
  std::wstring windowsVersion;
  std::wstring localTime;

  std::uint32_t code = 0;
  TCrashKind kind = TCrashKind::fault;
  std::uint64_t address = 0;
  std::vector<std::uint64_t> parameters;  // the exception record's
  std::uint32_t threadId = 0;
  std::wstring threadRole;  // "user interface", "archive job", "other"
  std::vector<std::uint64_t> frames;
  std::uint32_t firstScannedFrame = 0;
  std::string exceptionType;  // as the compiler names it (mangled)
  std::string exceptionText;

  std::wstring dumpName;  // empty when no dump was written
  std::vector<std::wstring> removedFiles;
  std::vector<std::wstring> goneFiles;  // registered, but no longer there
  std::vector<std::wstring> leftFiles;  // could not be removed

  std::vector<TModuleFacts> modules;
  std::vector<std::wstring> processes;
  std::vector<std::wstring> machine;  // "Processor: ...", "Memory: ...", ...
};

// The exception code's name ("EXCEPTION_ACCESS_VIOLATION"), or empty.
std::wstring ExceptionName(std::uint32_t code);

// "module+0x1a2b" for an address inside a module, else "0x...".
std::wstring ModuleOffset(std::uint64_t address, const std::vector<TModuleFacts>& modules);

// A C++ type's readable name from the compiler's ("St13runtime_error" ->
// "std::runtime_error"); the name as given when it cannot be read.
std::string ReadableTypeName(const std::string& mangled);

// The report's text. Its stack lines, "  #<n>  <module>+0x<offset>", are
// what scripts/symbolize reads.
std::wstring ComposeReport(const TCrashFacts& facts);

}  // namespace crash
