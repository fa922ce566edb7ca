#include "crash/SystemFacts.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "ui/SystemLibrary.h"
#include "ui/UniqueHandle.h"

namespace crash {

namespace {

std::wstring BaseName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring ModulePath(HANDLE process, HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameExW(process, module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size() - 1) return path.substr(0, length);
    if (path.size() >= 32768) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* value) {
  wchar_t text[256] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring result = text;
  // Some processors pad their name with spaces.
  result.erase(0, result.find_first_not_of(L' '));
  result.erase(result.find_last_not_of(L' ') + 1);
  return result;
}

std::wstring Megabytes(unsigned long long bytes) {
  return std::to_wstring(bytes / (1024 * 1024)) + L" MB";
}

BOOL CALLBACK AddDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  auto& lines = *reinterpret_cast<std::vector<std::wstring>*>(context);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  std::wstring line = L"Display: " + std::to_wstring(r.right - r.left) + L" x " +
                      std::to_wstring(r.bottom - r.top) + L" at (" + std::to_wstring(r.left) +
                      L", " + std::to_wstring(r.top) + L")";
  if (info.dwFlags & MONITORINFOF_PRIMARY) line += L", primary";
  lines.push_back(line);
  return TRUE;
}

}  // namespace

std::vector<TModuleFacts> ProcessModules(HANDLE process) {
  std::vector<HMODULE> handles(256);
  for (;;) {
    DWORD needed = 0;
    if (!EnumProcessModulesEx(process, handles.data(),
                              static_cast<DWORD>(handles.size() * sizeof(HMODULE)), &needed,
                              LIST_MODULES_ALL)) {
      return {};
    }
    const std::size_t count = needed / sizeof(HMODULE);
    if (count <= handles.size()) {
      handles.resize(count);
      break;
    }
    handles.resize(count + 16);
  }
  std::vector<TModuleFacts> modules;
  for (HMODULE handle : handles) {
    MODULEINFO info{};
    if (!GetModuleInformation(process, handle, &info, sizeof info)) continue;
    const std::wstring path = ModulePath(process, handle);
    TModuleFacts module;
    module.name = path.empty() ? L"?" : BaseName(path);
    module.version = path.empty() ? std::wstring() : FileVersion(path);
    module.base = reinterpret_cast<std::uintptr_t>(info.lpBaseOfDll);
    module.size = info.SizeOfImage;
    modules.push_back(std::move(module));
  }
  std::sort(modules.begin(), modules.end(),
            [](const TModuleFacts& a, const TModuleFacts& b) { return a.base < b.base; });
  return modules;
}

std::vector<std::wstring> RunningProcessNames() {
  ui::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  std::map<std::wstring, int> counts;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    ++counts[BaseName(entry.szExeFile)];
  }
  std::vector<std::wstring> names;
  for (const auto& [name, count] : counts) {
    names.push_back(count > 1 ? name + L" (" + std::to_wstring(count) + L")" : name);
  }
  return names;
}

std::vector<std::wstring> MachineFacts() {
  std::vector<std::wstring> lines;
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  std::wstring processor =
      RegistryText(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                   L"ProcessorNameString");
  if (processor.empty()) processor = L"unknown";
  lines.push_back(L"Processor: " + processor + L", " +
                  std::to_wstring(system.dwNumberOfProcessors) + L" logical processors");
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (GlobalMemoryStatusEx(&memory)) {
    lines.push_back(L"Memory: " + Megabytes(memory.ullTotalPhys) + L", " +
                    Megabytes(memory.ullAvailPhys) + L" free");
  }
  EnumDisplayMonitors(nullptr, nullptr, AddDisplay, reinterpret_cast<LPARAM>(&lines));
  ui::UniqueScreenDc screen(GetDC(nullptr));
  if (screen) {
    lines.push_back(L"Screen: " + std::to_wstring(GetDeviceCaps(screen.get(), LOGPIXELSX)) +
                    L" dpi, " + std::to_wstring(GetDeviceCaps(screen.get(), BITSPIXEL)) +
                    L" bits per pixel");
  }
  return lines;
}

std::wstring WindowsVersion() {
  using GetVersionFunction = LONG WINAPI(OSVERSIONINFOW*);
  using WineVersionFunction = const char*();
  std::wstring text = L"unknown";
  const auto getVersion = ui::SystemFunction<GetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (getVersion != nullptr && getVersion(&version) == 0) {
    wchar_t number[64];
    std::swprintf(number, 64, L"%lu.%lu.%lu", version.dwMajorVersion, version.dwMinorVersion,
                  version.dwBuildNumber);
    text = number;
    if (version.szCSDVersion[0] != L'\0') text += std::wstring(L" ") + version.szCSDVersion;
  }
  if (const auto wine = ui::SystemFunction<WineVersionFunction>(L"ntdll.dll", "wine_get_version")) {
    const std::string wineVersion = wine();
    text += L" (Wine " + std::wstring(wineVersion.begin(), wineVersion.end()) + L")";
  }
  return text;
}

std::wstring FileVersion(const std::wstring& path) {
  using SizeFunction = DWORD WINAPI(LPCWSTR, LPDWORD);
  using InfoFunction = BOOL WINAPI(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFunction = BOOL WINAPI(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  // Loaded here, not linked: only the handler ever reads versions.
  const auto size = ui::SystemFunction<SizeFunction>(L"version.dll", "GetFileVersionInfoSizeW");
  const auto info = ui::SystemFunction<InfoFunction>(L"version.dll", "GetFileVersionInfoW");
  const auto query = ui::SystemFunction<QueryFunction>(L"version.dll", "VerQueryValueW");
  if (size == nullptr || info == nullptr || query == nullptr) return {};
  DWORD ignored = 0;
  const DWORD bytes = size(path.c_str(), &ignored);
  if (bytes == 0) return {};
  std::vector<unsigned char> data(bytes);
  if (!info(path.c_str(), 0, bytes, data.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
      length < sizeof *fixed) {
    return {};
  }
  wchar_t text[64];
  std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  return text;
}

std::uint32_t BuildStamp() {
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->FileHeader.TimeDateStamp;
}

std::wstring LocalTimeText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[64];
  std::swprintf(text, 64, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return text;
}

}  // namespace crash
