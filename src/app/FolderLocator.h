// The folder locator: finds the platform's well-known folders for the main
// window. It keeps the user's and the machine's application-data folders and
// the running program's folder from its construction, and looks any other
// well-known folder up on request by a folder kind. Nothing here reports an
// error: a folder it cannot find is an empty text. Every call it makes to the
// platform goes through a FolderPlatform, so that tests can make each source
// of the application-data fallback chain fail on a healthy system.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// The folder kinds GetFolderPath understands; the values are stored by
// callers, so they never change. 14 has no folder.
enum TFolderKind : int {
  fkWindows = 0,
  fkSystem = 1,
  fkTemp = 2,
  fkInternetCache = 3,
  fkCookies = 4,
  fkHistory = 5,
  fkRecent = 6,
  fkDesktop = 7,
  fkPrograms = 8,
  fkFavorites = 9,
  fkStartup = 10,
  fkProfile = 11,
  fkAppData = 12,
  fkLocalAppData = 13,
  fkReserved = 14,
  fkProgramFiles = 15,
  fkCommonFiles = 16,
  fkStartMenu = 17,
  fkCommonAppData = 18,
  fkLocalAppDataAlt = 19,
  fkFonts = 20,
  fkTemplates = 21,
  fkNetHood = 22,
  fkSendTo = 23,
  fkMyMusic = 24,
  fkMyVideo = 25,
  fkPrintHood = 26,
  fkMyPictures = 27,
  fkSystemX86 = 28,
  fkProgramFilesX86 = 29,
  fkCommonFilesAlt = 30,
  fkCommonFilesX86 = 31,
  fkAdminTools = 32,
  fkResources = 33,
  fkCDBurnArea = 34,
  fkPersonal = 35,
};

// The platform calls the locator makes. FolderPlatform::Windows() gives the
// real ones; a test replaces the members it wants to fail. A member may
// throw: the locator treats that as a failed call.
struct FolderPlatform {
  // SHGetSpecialFolderPathW without creating the folder; nullopt when the
  // call fails.
  std::function<std::optional<std::wstring>(int csidl)> SpecialFolder;
  // A text value of a registry key opened for reading values only: nullopt
  // when the key does not open, an empty text when the value is missing or
  // holds no text.
  std::function<std::optional<std::wstring>(HKEY root, const std::wstring& key,
                                            const std::wstring& name)>
      RegistryText;
  std::function<bool(const std::wstring& folder)> FolderExists;
  // GetWindowsDirectoryW, GetSystemDirectoryW, GetTempPathW and
  // GetUserNameW, each into a buffer of the size the locator has always
  // used; nullopt when they fail or the answer does not fit.
  std::function<std::optional<std::wstring>()> WindowsDirectory;
  std::function<std::optional<std::wstring>()> SystemDirectory;
  std::function<std::optional<std::wstring>()> TempPath;
  std::function<std::optional<std::wstring>()> UserName;
  // The running program's folder with its trailing "\".
  std::function<std::wstring()> ExecutableFolder;
  // A major version above 5 (Vista and later): profiles below "\Users",
  // the machine's data in "\ProgramData".
  std::function<bool()> IsVistaOrLater;

  static FolderPlatform Windows();
};

class TAppFrame {
 public:
  TAppFrame();
  explicit TAppFrame(FolderPlatform platform);

  // The user's roaming application-data folder, without a trailing "\".
  const std::wstring& AppData() const noexcept { return FAppData; }
  // The machine-wide application-data folder, without a trailing "\".
  const std::wstring& CommonAppData() const noexcept { return FCommonAppData; }
  // The running program's folder, with its trailing "\".
  const std::wstring& ExePath() const noexcept { return FExePath; }

  // The folder of a kind; empty for fkReserved and for values above
  // fkPersonal. Only fkTemp ends with "\".
  std::wstring GetFolderPath(TFolderKind kind) const;
  // The special folder of a CSIDL value without a trailing "\"; empty when
  // the call fails.
  std::wstring GetSpecialFolder(int csidl) const;
  std::wstring GetWindowsDir() const;
  std::wstring GetSystemDir() const;
  // With its trailing "\".
  std::wstring GetTempDir() const;
  // The application-data folder (the machine's if common) from the first
  // source that gives a folder that exists: the special-folder call, the
  // shell's folder list in the registry, a path built from the Windows
  // drive and the logon name. Empty when none does.
  std::wstring GetAppDataFallback(bool common) const;
  std::wstring GetLogonUserName() const;
  // The first two characters of the Windows folder, such as "C:".
  std::wstring GetWindowsDrive() const;

 private:
  FolderPlatform FPlatform;
  std::wstring FAppData;
  std::wstring FCommonAppData;
  std::wstring FExePath;
};
