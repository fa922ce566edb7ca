#include "app/FolderLocator.h"

#include <shlobj.h>
#include <versionhelpers.h>

#include <array>
#include <utility>

#include "app/RegistryText.h"
#include "archive/JobPaths.h"
#include "ui/ModulePath.h"

namespace {

constexpr wchar_t kShellFoldersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The buffer sizes the locator has always asked with: a path that does not
// fit counts as a failed call, not as a cut path.
constexpr UINT kDirectoryBufferLength = 255;
constexpr DWORD kUserNameBufferLength = 260;

// Where GetFolderPath finds each kind; indexed by TFolderKind.
enum class Source { kNone, kWindows, kSystem, kTemp, kSpecial };
struct KindSource {
  Source source;
  int csidl;
};
constexpr std::array<KindSource, fkPersonal + 1> kKindSources = {{
    {Source::kWindows, 0},
    {Source::kSystem, 0},
    {Source::kTemp, 0},
    {Source::kSpecial, CSIDL_INTERNET_CACHE},
    {Source::kSpecial, CSIDL_COOKIES},
    {Source::kSpecial, CSIDL_HISTORY},
    {Source::kSpecial, CSIDL_RECENT},
    {Source::kSpecial, CSIDL_DESKTOPDIRECTORY},
    {Source::kSpecial, CSIDL_PROGRAMS},
    {Source::kSpecial, CSIDL_FAVORITES},
    {Source::kSpecial, CSIDL_STARTUP},
    {Source::kSpecial, CSIDL_PROFILE},
    {Source::kSpecial, CSIDL_APPDATA},
    {Source::kSpecial, CSIDL_LOCAL_APPDATA},
    {Source::kNone, 0},
    {Source::kSpecial, CSIDL_PROGRAM_FILES},
    {Source::kSpecial, CSIDL_PROGRAM_FILES_COMMON},
    {Source::kSpecial, CSIDL_STARTMENU},
    {Source::kSpecial, CSIDL_COMMON_APPDATA},
    // Kept apart from fkLocalAppData and fkCommonFiles only because callers
    // store the kind values.
    {Source::kSpecial, CSIDL_LOCAL_APPDATA},
    {Source::kSpecial, CSIDL_FONTS},
    {Source::kSpecial, CSIDL_TEMPLATES},
    {Source::kSpecial, CSIDL_NETHOOD},
    {Source::kSpecial, CSIDL_SENDTO},
    {Source::kSpecial, CSIDL_MYMUSIC},
    {Source::kSpecial, CSIDL_MYVIDEO},
    {Source::kSpecial, CSIDL_PRINTHOOD},
    {Source::kSpecial, CSIDL_MYPICTURES},
    {Source::kSpecial, CSIDL_SYSTEMX86},
    {Source::kSpecial, CSIDL_PROGRAM_FILESX86},
    {Source::kSpecial, CSIDL_PROGRAM_FILES_COMMON},
    {Source::kSpecial, CSIDL_PROGRAM_FILES_COMMONX86},
    {Source::kSpecial, CSIDL_ADMINTOOLS},
    {Source::kSpecial, CSIDL_RESOURCES},
    {Source::kSpecial, CSIDL_CDBURN_AREA},
    {Source::kSpecial, CSIDL_PERSONAL},
}};

// Calls a platform member; a missing member or one that throws gives the
// empty answer, as a failed call does.
template <typename Result, typename Function, typename... Args>
Result Ask(const Function& function, Args&&... args) noexcept {
  try {
    if (function) return function(std::forward<Args>(args)...);
  } catch (...) {
    // A failed platform call is the next source's turn, never the caller's.
  }
  return Result{};
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

// The text of a fixed-size buffer up to its first NUL.
std::wstring BufferText(const wchar_t* buffer) {
  return std::wstring(buffer);
}

std::optional<std::wstring> DirectoryFromCall(UINT (*call)(LPWSTR, UINT)) {
  wchar_t buffer[kDirectoryBufferLength] = {};
  const UINT length = call(buffer, kDirectoryBufferLength);
  if (length == 0 || length >= kDirectoryBufferLength) return std::nullopt;
  return BufferText(buffer);
}

}  // namespace

FolderPlatform FolderPlatform::Windows() {
  FolderPlatform platform;
  platform.SpecialFolder = [](int csidl) -> std::optional<std::wstring> {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return std::nullopt;
    return BufferText(buffer);
  };
  platform.RegistryText = [](HKEY root, const std::wstring& key, const std::wstring& name) {
    return app::ReadRegistryText(root, key, name);
  };
  platform.FolderExists = [](const std::wstring& folder) { return archive::FolderExists(folder); };
  platform.WindowsDirectory = [] { return DirectoryFromCall(&GetWindowsDirectoryW); };
  platform.SystemDirectory = [] { return DirectoryFromCall(&GetSystemDirectoryW); };
  platform.TempPath = []() -> std::optional<std::wstring> {
    wchar_t buffer[kDirectoryBufferLength] = {};
    const DWORD length = GetTempPathW(kDirectoryBufferLength, buffer);
    if (length == 0 || length >= kDirectoryBufferLength) return std::nullopt;
    return BufferText(buffer);
  };
  platform.UserName = []() -> std::optional<std::wstring> {
    wchar_t buffer[kUserNameBufferLength] = {};
    DWORD length = kUserNameBufferLength;
    if (!GetUserNameW(buffer, &length)) return std::nullopt;
    return BufferText(buffer);
  };
  platform.ExecutableFolder = &ui::ExecutableFolder;
  platform.IsVistaOrLater = [] { return IsWindowsVistaOrGreater(); };
  return platform;
}

TAppFrame::TAppFrame() : TAppFrame(FolderPlatform::Windows()) {}

TAppFrame::TAppFrame(FolderPlatform platform) : FPlatform(std::move(platform)) {
  FCommonAppData = GetSpecialFolder(CSIDL_COMMON_APPDATA);
  if (FCommonAppData.empty()) FCommonAppData = GetAppDataFallback(true);
  FAppData = GetSpecialFolder(CSIDL_APPDATA);
  if (FAppData.empty()) FAppData = GetAppDataFallback(false);
  FExePath = Ask<std::wstring>(FPlatform.ExecutableFolder);
}

std::wstring TAppFrame::GetFolderPath(TFolderKind kind) const {
  if (kind < 0 || static_cast<size_t>(kind) >= kKindSources.size()) return {};
  const KindSource& source = kKindSources[static_cast<size_t>(kind)];
  switch (source.source) {
    case Source::kWindows:
      return GetWindowsDir();
    case Source::kSystem:
      return GetSystemDir();
    case Source::kTemp:
      return GetTempDir();
    case Source::kSpecial:
      return GetSpecialFolder(source.csidl);
    case Source::kNone:
      break;
  }
  return {};
}

std::wstring TAppFrame::GetSpecialFolder(int csidl) const {
  return WithoutTrailingSeparator(
      Ask<std::optional<std::wstring>>(FPlatform.SpecialFolder, csidl).value_or(L""));
}

std::wstring TAppFrame::GetWindowsDir() const {
  return Ask<std::optional<std::wstring>>(FPlatform.WindowsDirectory).value_or(L"");
}

std::wstring TAppFrame::GetSystemDir() const {
  return Ask<std::optional<std::wstring>>(FPlatform.SystemDirectory).value_or(L"");
}

std::wstring TAppFrame::GetTempDir() const {
  return Ask<std::optional<std::wstring>>(FPlatform.TempPath).value_or(L"");
}

std::wstring TAppFrame::GetLogonUserName() const {
  return Ask<std::optional<std::wstring>>(FPlatform.UserName).value_or(L"");
}

std::wstring TAppFrame::GetWindowsDrive() const {
  return GetWindowsDir().substr(0, 2);
}

std::wstring TAppFrame::GetAppDataFallback(bool common) const {
  // An empty text is never a folder: asking whether "" exists would ask
  // about the current folder.
  const auto exists = [this](const std::wstring& folder) {
    return !folder.empty() && Ask<bool>(FPlatform.FolderExists, folder);
  };

  std::wstring folder = GetSpecialFolder(common ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA);
  if (exists(folder)) return folder;

  const std::optional<std::wstring> listed = Ask<std::optional<std::wstring>>(
      FPlatform.RegistryText, common ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
      std::wstring(kShellFoldersKey), std::wstring(common ? L"Common AppData" : L"AppData"));
  folder = WithoutTrailingSeparator(listed.value_or(L""));
  if (exists(folder)) return folder;

  // Built from the drive and the logon name as the system lays profiles
  // out. Without a drive or, for the user's folder, a name, the path would
  // name some other folder (of the current drive, or the profiles' parent).
  const std::wstring drive = GetWindowsDrive();
  if (drive.empty()) return {};
  const bool vista = Ask<bool>(FPlatform.IsVistaOrLater);
  if (common) {
    folder = drive +
             (vista ? L"\\ProgramData" : L"\\Documents and Settings\\All Users\\Application Data");
  } else {
    const std::wstring user = GetLogonUserName();
    if (user.empty()) return {};
    folder = vista ? drive + L"\\Users\\" + user + L"\\AppData\\Roaming"
                   : drive + L"\\Documents and Settings\\" + user + L"\\Application Data";
  }
  return exists(folder) ? folder : std::wstring();
}
