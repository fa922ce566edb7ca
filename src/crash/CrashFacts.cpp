#include "crash/CrashFacts.h"

#include <windows.h>

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace crash {

namespace {

struct TCodeName {
  std::uint32_t code;
  const wchar_t* name;
};

// The codes a crash of this program can carry: the hardware exceptions,
// GCC's C++ exception, and the fail-fast code of abort and its kin.
constexpr TCodeName kCodeNames[] = {
    {0xC0000005, L"EXCEPTION_ACCESS_VIOLATION"},
    {0xC000008C, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0x80000002, L"EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0xC000008D, L"EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008E, L"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, L"EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090, L"EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091, L"EXCEPTION_FLT_OVERFLOW"},
    {0xC0000092, L"EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093, L"EXCEPTION_FLT_UNDERFLOW"},
    {0xC000001D, L"EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000006, L"EXCEPTION_IN_PAGE_ERROR"},
    {0xC0000094, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095, L"EXCEPTION_INT_OVERFLOW"},
    {0xC0000096, L"EXCEPTION_PRIV_INSTRUCTION"},
    {0xC00000FD, L"EXCEPTION_STACK_OVERFLOW"},
    {0xC0000374, L"STATUS_HEAP_CORRUPTION"},
    {0xC0000409, L"STATUS_STACK_BUFFER_OVERRUN (fail fast)"},
    {0x20474343, L"C++ exception (GCC)"},
};

const wchar_t* Cause(TCrashKind kind) {
  switch (kind) {
    case TCrashKind::fault:
      return L"a hardware exception";
    case TCrashKind::cppException:
      return L"a C++ exception that nothing caught";
    case TCrashKind::terminate:
      return L"std::terminate, without an exception";
    case TCrashKind::pureVirtualCall:
      return L"a pure virtual function call";
    case TCrashKind::abort:
      return L"abort()";
  }
  return L"unknown";
}

std::wstring Hex(std::uint64_t value, int digits) {
  wchar_t text[32];
  std::swprintf(text, 32, L"0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

std::wstring Widen(const std::string& text) {
  // The exception's texts are the program's own, ASCII as a rule; any other
  // byte is shown as it would be in Latin-1 rather than dropped.
  return std::wstring(text.begin(), text.end());
}

std::wstring BuildTime(std::uint32_t stamp) {
  // File times count 100 ns steps from 1601; the stamp counts seconds from 1970.
  constexpr std::uint64_t kFrom1601To1970 = 11644473600ULL;
  const std::uint64_t ticks = (stamp + kFrom1601To1970) * 10000000ULL;
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{};
  if (!FileTimeToSystemTime(&file, &utc)) return L"unknown";
  wchar_t text[64];
  std::swprintf(text, 64, L"%04u-%02u-%02u %02u:%02u:%02u UTC", utc.wYear, utc.wMonth, utc.wDay,
                utc.wHour, utc.wMinute, utc.wSecond);
  return text;
}

// What an access violation's parameters say: the kind of access and where.
std::wstring AccessDetail(const TCrashFacts& facts) {
  if ((facts.code != 0xC0000005 && facts.code != 0xC0000006) || facts.parameters.size() < 2) {
    return {};
  }
  const wchar_t* what = facts.parameters[0] == 0   ? L"reading"
                        : facts.parameters[0] == 1 ? L"writing"
                        : facts.parameters[0] == 8 ? L"executing"
                                                   : L"accessing";
  return std::wstring(L": ") + what + L" address " + Hex(facts.parameters[1], 16);
}

void Line(std::wstring& text, const std::wstring& label, const std::wstring& value) {
  text += label;
  text.append(label.size() < 18 ? 18 - label.size() : 1, L' ');
  text += value;
  text += L"\r\n";
}

}  // namespace

std::wstring ExceptionName(std::uint32_t code) {
  for (const TCodeName& entry : kCodeNames) {
    if (entry.code == code) return entry.name;
  }
  // The same C++ exception in another phase of its unwinding.
  if ((code & 0x20FFFFFF) == 0x20474343) return L"C++ exception (GCC)";
  return {};
}

std::wstring ModuleOffset(std::uint64_t address, const std::vector<TModuleFacts>& modules) {
  for (const TModuleFacts& module : modules) {
    if (address >= module.base && address - module.base < module.size) {
      wchar_t offset[32];
      std::swprintf(offset, 32, L"+0x%llx", static_cast<unsigned long long>(address - module.base));
      return module.name + offset;
    }
  }
  return Hex(address, 16);
}

std::string ReadableTypeName(const std::string& mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> readable(
      abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), std::free);
  return status == 0 && readable ? std::string(readable.get()) : mangled;
}

std::wstring ComposeReport(const TCrashFacts& facts) {
  std::wstring text = L"Brightkeep Portable crash report\r\n\r\n";
  wchar_t stamp[16];
  std::swprintf(stamp, 16, L"%08x", facts.buildStamp);
  Line(text, L"Program:", L"BRKPortable.exe " + facts.toolVersion);
  Line(text, L"Build:", BuildTime(facts.buildStamp) + L" (stamp " + stamp + L")");
  Line(text, L"Windows:", facts.windowsVersion);
  Line(text, L"Time:", facts.localTime);
  const std::wstring name = ExceptionName(facts.code);
  Line(text, L"Exception:",
       Hex(facts.code, 8) + (name.empty() ? L"" : L" " + name) + AccessDetail(facts));
  Line(text, L"Cause:", Cause(facts.kind));
  if (!facts.exceptionType.empty()) {
    std::wstring what = Widen(ReadableTypeName(facts.exceptionType));
    if (!facts.exceptionText.empty()) what += L": " + Widen(facts.exceptionText);
    Line(text, L"C++ exception:", what);
  }
  Line(text, L"Address:", ModuleOffset(facts.address, facts.modules));
  Line(text, L"Thread:", std::to_wstring(facts.threadId) + L" (" + facts.threadRole + L")");
  Line(text, L"Dump:", facts.dumpName.empty() ? L"none could be written" : facts.dumpName);
  for (const std::wstring& path : facts.removedFiles) Line(text, L"Removed:", path);
  for (const std::wstring& path : facts.goneFiles) Line(text, L"Already gone:", path);
  for (const std::wstring& path : facts.leftFiles) Line(text, L"Not removed:", path);

  text += L"\r\nStack of the crashed thread, innermost first (scripts/symbolize reads it):\r\n";
  for (std::size_t i = 0; i < facts.frames.size(); ++i) {
    text += L"  #" + std::to_wstring(i) + L"  " + ModuleOffset(facts.frames[i], facts.modules);
    if (i >= facts.firstScannedFrame) text += L"  (found by scanning the stack)";
    text += L"\r\n";
  }

  text += L"\r\nModules:\r\n";
  for (const TModuleFacts& module : facts.modules) {
    text += L"  " + Hex(module.base, 16) + L"  " + module.name;
    if (!module.version.empty()) text += L"  " + module.version;
    text += L"\r\n";
  }
  text += L"\r\nRunning processes:\r\n";
  for (const std::wstring& process : facts.processes) text += L"  " + process + L"\r\n";
  text += L"\r\nMachine:\r\n";
  for (const std::wstring& line : facts.machine) text += L"  " + line + L"\r\n";
  return text;
}

}  // namespace crash
