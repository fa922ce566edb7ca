// Collects the debugger output lines that the code under test writes, for
// tests of diagnostics. With no debugger attached, OutputDebugString raises
// a printing exception that the process's own vectored handler sees first;
// the capture records its text and lets the program go on.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace uitest {

class DebugOutputCapture {
 public:
  DebugOutputCapture() {
    Instance() = this;
    handler_ = AddVectoredExceptionHandler(1, &Handler);
  }
  ~DebugOutputCapture() {
    RemoveVectoredExceptionHandler(handler_);
    Instance() = nullptr;
  }
  DebugOutputCapture(const DebugOutputCapture&) = delete;
  DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

  std::vector<std::wstring> Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  // The wide kind carries the text at parameter 1 as UTF-16; the narrow
  // kind carries it there in the ANSI code page.
  static constexpr DWORD kPrintWide = 0x4001000A;
  static constexpr DWORD kPrintNarrow = 0x40010006;

  static DebugOutputCapture*& Instance() {
    static DebugOutputCapture* instance = nullptr;
    return instance;
  }

  static LONG CALLBACK Handler(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD& record = *info->ExceptionRecord;
    DebugOutputCapture* self = Instance();
    if (self == nullptr || record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    std::wstring line;
    if (record.ExceptionCode == kPrintWide) {
      line = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
    } else if (record.ExceptionCode == kPrintNarrow) {
      for (const char* p = reinterpret_cast<const char*>(record.ExceptionInformation[1]); *p; ++p) {
        line += static_cast<wchar_t>(static_cast<unsigned char>(*p));
      }
    } else {
      return EXCEPTION_CONTINUE_SEARCH;
    }
    // Some systems end the text with a line break of their own.
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) line.pop_back();
    std::lock_guard lock(self->mutex_);
    self->lines_.push_back(std::move(line));
    return EXCEPTION_CONTINUE_EXECUTION;
  }

  PVOID handler_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::wstring> lines_;
};

}  // namespace uitest
