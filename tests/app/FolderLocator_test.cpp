#include "app/FolderLocator.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A system whose answers a test sets: the special-folder call, the shell's
// folder list in the registry and the folders that exist.
struct FakeSystem {
  // The special-folder call's answer per CSIDL; a missing entry fails.
  std::map<int, std::wstring> special;
  bool specialThrows = false;
  // false: the shell-folders key does not open.
  bool keyOpens = true;
  // The key's values by name; a missing entry reads as an empty text.
  std::map<std::wstring, std::wstring> values;
  bool registryThrows = false;
  std::set<std::wstring> folders;
  std::optional<std::wstring> windowsDir = L"D:\\WINNT";
  std::optional<std::wstring> user = L"ann";
  bool vista = true;

  // What the locator asked for.
  std::vector<int> csidlsAsked;
  std::vector<std::pair<HKEY, std::wstring>> registryAsked;

  FolderPlatform Platform() {
    FolderPlatform p;
    p.SpecialFolder = [this](int csidl) -> std::optional<std::wstring> {
      csidlsAsked.push_back(csidl);
      if (specialThrows) throw std::runtime_error("special folder");
      const auto found = special.find(csidl);
      if (found == special.end()) return std::nullopt;
      return found->second;
    };
    p.RegistryText = [this](HKEY root, const std::wstring& key,
                            const std::wstring& name) -> std::optional<std::wstring> {
      registryAsked.emplace_back(root, key + L"|" + name);
      if (registryThrows) throw std::runtime_error("registry");
      if (!keyOpens) return std::nullopt;
      const auto found = values.find(name);
      return found == values.end() ? std::wstring() : found->second;
    };
    p.FolderExists = [this](const std::wstring& folder) { return folders.count(folder) != 0; };
    p.WindowsDirectory = [this] { return windowsDir; };
    p.SystemDirectory = [] { return std::optional<std::wstring>(L"D:\\WINNT\\system32"); };
    p.TempPath = [] { return std::optional<std::wstring>(L"D:\\Temp\\"); };
    p.UserName = [this] { return user; };
    p.ExecutableFolder = [] { return std::wstring(L"E:\\Tools\\"); };
    p.IsVistaOrLater = [this] { return vista; };
    return p;
  }
};

constexpr wchar_t kShellFolders[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

enum class Special { kAnswers, kAnswersMissingFolder, kFails, kThrows };
enum class Listed { kExisting, kMissingFolder, kMissingValue, kNoKey, kThrows };

struct FallbackCase {
  const char* what;
  bool common;
  Special special;
  Listed listed;
  bool vista;
  bool builtExists;
  const wchar_t* expected;
};

// Named by its case in test output instead of its bytes.
void PrintTo(const FallbackCase& c, std::ostream* out) {
  *out << c.what;
}

// Paths each source gives in these cases.
const wchar_t* SpecialPath(bool common) {
  return common ? L"D:\\Shell\\Common" : L"D:\\Shell\\ann";
}
const wchar_t* ListedPath(bool common) {
  return common ? L"D:\\Listed\\Common" : L"D:\\Listed\\ann";
}
std::wstring BuiltPath(bool common, bool vista) {
  if (vista) return common ? L"D:\\ProgramData" : L"D:\\Users\\ann\\AppData\\Roaming";
  return common ? L"D:\\Documents and Settings\\All Users\\Application Data"
                : L"D:\\Documents and Settings\\ann\\Application Data";
}

class AppDataFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(AppDataFallback, TakesTheFirstSourceThatNamesAFolderThatExists) {
  const FallbackCase& c = GetParam();
  FakeSystem system;
  const int csidl = c.common ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA;
  if (c.special == Special::kAnswers || c.special == Special::kAnswersMissingFolder) {
    system.special[csidl] = SpecialPath(c.common);
  }
  if (c.special == Special::kAnswers) system.folders.insert(SpecialPath(c.common));
  system.specialThrows = c.special == Special::kThrows;

  const wchar_t* valueName = c.common ? L"Common AppData" : L"AppData";
  if (c.listed == Listed::kExisting || c.listed == Listed::kMissingFolder) {
    // Written with a trailing "\", as some tools store it.
    system.values[valueName] = std::wstring(ListedPath(c.common)) + L"\\";
  }
  if (c.listed == Listed::kExisting) system.folders.insert(ListedPath(c.common));
  system.keyOpens = c.listed != Listed::kNoKey;
  system.registryThrows = c.listed == Listed::kThrows;

  system.vista = c.vista;
  if (c.builtExists) system.folders.insert(BuiltPath(c.common, c.vista));

  const TAppFrame frame(system.Platform());
  system.csidlsAsked.clear();
  system.registryAsked.clear();
  EXPECT_EQ(frame.GetAppDataFallback(c.common), c.expected);

  ASSERT_FALSE(system.csidlsAsked.empty());
  EXPECT_EQ(system.csidlsAsked.front(), csidl);
  if (c.special != Special::kAnswers) {
    ASSERT_EQ(system.registryAsked.size(), 1u);
    EXPECT_EQ(system.registryAsked[0].first, c.common ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
    EXPECT_EQ(system.registryAsked[0].second, std::wstring(kShellFolders) + L"|" + valueName);
  } else {
    EXPECT_TRUE(system.registryAsked.empty()) << "the registry is asked only when needed";
  }
}

// clang-format off
const FallbackCase kFallbackCases[] = {
  {"special folder exists",                 false, Special::kAnswers,              Listed::kExisting,      true,  true,  L"D:\\Shell\\ann"},
  {"common special folder exists",          true,  Special::kAnswers,              Listed::kExisting,      true,  true,  L"D:\\Shell\\Common"},
  {"special folder names a missing folder", false, Special::kAnswersMissingFolder, Listed::kExisting,      true,  true,  L"D:\\Listed\\ann"},
  {"special call fails, registry listed",   false, Special::kFails,                Listed::kExisting,      true,  true,  L"D:\\Listed\\ann"},
  {"special call throws, registry listed",  true,  Special::kThrows,               Listed::kExisting,      true,  true,  L"D:\\Listed\\Common"},
  {"registry value missing",                false, Special::kFails,                Listed::kMissingValue,  true,  true,  L"D:\\Users\\ann\\AppData\\Roaming"},
  {"registry value names a missing folder", true,  Special::kFails,                Listed::kMissingFolder, true,  true,  L"D:\\ProgramData"},
  {"registry key does not open",            false, Special::kFails,                Listed::kNoKey,         true,  true,  L"D:\\Users\\ann\\AppData\\Roaming"},
  {"registry read throws",                  true,  Special::kThrows,               Listed::kThrows,        true,  true,  L"D:\\ProgramData"},
  {"version 5 user folder",                 false, Special::kFails,                Listed::kMissingValue,  false, true,  L"D:\\Documents and Settings\\ann\\Application Data"},
  {"version 5 machine folder",              true,  Special::kFails,                Listed::kNoKey,         false, true,  L"D:\\Documents and Settings\\All Users\\Application Data"},
  {"every source fails",                    false, Special::kFails,                Listed::kMissingFolder, true,  false, L""},
  {"every source fails, version 5 machine", true,  Special::kAnswersMissingFolder, Listed::kMissingValue,  false, false, L""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, AppDataFallback, ::testing::ValuesIn(kFallbackCases),
                         [](const auto& info) {
                           std::string name = info.param.what;
                           for (char& ch : name) {
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(AppDataFallback, BuildsNoPathWithoutAWindowsDriveOrALogonName) {
  FakeSystem noDrive;
  noDrive.windowsDir.reset();
  noDrive.folders = {L"\\ProgramData", L"\\Users\\ann\\AppData\\Roaming"};
  EXPECT_EQ(TAppFrame(noDrive.Platform()).GetAppDataFallback(true), L"");
  EXPECT_EQ(TAppFrame(noDrive.Platform()).GetAppDataFallback(false), L"");

  FakeSystem noUser;
  noUser.user.reset();
  noUser.folders = {L"D:\\ProgramData", L"D:\\Users\\\\AppData\\Roaming"};
  EXPECT_EQ(TAppFrame(noUser.Platform()).GetAppDataFallback(false), L"");
  EXPECT_EQ(TAppFrame(noUser.Platform()).GetAppDataFallback(true), L"D:\\ProgramData");
}

TEST(TAppFrame, ConstructionKeepsBothApplicationDataFoldersAndTheProgramFolder) {
  FakeSystem healthy;
  healthy.special = {{CSIDL_APPDATA, L"D:\\Profiles\\ann\\Roaming\\"},
                     {CSIDL_COMMON_APPDATA, L"D:\\ProgramData"}};
  const TAppFrame frame(healthy.Platform());
  EXPECT_EQ(frame.AppData(), L"D:\\Profiles\\ann\\Roaming");
  EXPECT_EQ(frame.CommonAppData(), L"D:\\ProgramData");
  EXPECT_EQ(frame.ExePath(), L"E:\\Tools\\");
  EXPECT_TRUE(healthy.registryAsked.empty());

  // The user's special folder fails: the registry's list stands in for it,
  // while the machine's folder still comes from the special-folder call.
  FakeSystem userFails;
  userFails.special = {{CSIDL_COMMON_APPDATA, L"D:\\ProgramData"}};
  userFails.values[L"AppData"] = L"D:\\Listed\\ann";
  userFails.folders = {L"D:\\Listed\\ann"};
  const TAppFrame fallback(userFails.Platform());
  EXPECT_EQ(fallback.AppData(), L"D:\\Listed\\ann");
  EXPECT_EQ(fallback.CommonAppData(), L"D:\\ProgramData");

  FakeSystem broken;
  broken.specialThrows = true;
  broken.keyOpens = false;
  const TAppFrame nothing(broken.Platform());
  EXPECT_EQ(nothing.AppData(), L"");
  EXPECT_EQ(nothing.CommonAppData(), L"");
}

TEST(TAppFrame, EveryFolderKindAsksItsSource) {
  FakeSystem system;
  for (int csidl = 0; csidl < 64; ++csidl) {
    system.special[csidl] = L"D:\\csidl" + std::to_wstring(csidl) + L"\\";
  }
  const TAppFrame frame(system.Platform());
  // The CSIDL of each kind from fkInternetCache on; 0 marks fkReserved.
  const int expectedCsidl[] = {
      CSIDL_INTERNET_CACHE,
      CSIDL_COOKIES,
      CSIDL_HISTORY,
      CSIDL_RECENT,
      CSIDL_DESKTOPDIRECTORY,
      CSIDL_PROGRAMS,
      CSIDL_FAVORITES,
      CSIDL_STARTUP,
      CSIDL_PROFILE,
      CSIDL_APPDATA,
      CSIDL_LOCAL_APPDATA,
      0,
      CSIDL_PROGRAM_FILES,
      CSIDL_PROGRAM_FILES_COMMON,
      CSIDL_STARTMENU,
      CSIDL_COMMON_APPDATA,
      CSIDL_LOCAL_APPDATA,
      CSIDL_FONTS,
      CSIDL_TEMPLATES,
      CSIDL_NETHOOD,
      CSIDL_SENDTO,
      CSIDL_MYMUSIC,
      CSIDL_MYVIDEO,
      CSIDL_PRINTHOOD,
      CSIDL_MYPICTURES,
      CSIDL_SYSTEMX86,
      CSIDL_PROGRAM_FILESX86,
      CSIDL_PROGRAM_FILES_COMMON,
      CSIDL_PROGRAM_FILES_COMMONX86,
      CSIDL_ADMINTOOLS,
      CSIDL_RESOURCES,
      CSIDL_CDBURN_AREA,
      CSIDL_PERSONAL,
  };
  static_assert(std::size(expectedCsidl) == fkPersonal - fkInternetCache + 1);
  for (int kind = fkInternetCache; kind <= fkPersonal; ++kind) {
    const int csidl = expectedCsidl[kind - fkInternetCache];
    const std::wstring expected = csidl == 0 ? L"" : L"D:\\csidl" + std::to_wstring(csidl);
    EXPECT_EQ(frame.GetFolderPath(static_cast<TFolderKind>(kind)), expected) << "kind " << kind;
  }
  EXPECT_EQ(frame.GetFolderPath(fkWindows), L"D:\\WINNT");
  EXPECT_EQ(frame.GetFolderPath(fkSystem), L"D:\\WINNT\\system32");
  EXPECT_EQ(frame.GetFolderPath(fkTemp), L"D:\\Temp\\");
  system.csidlsAsked.clear();
  EXPECT_EQ(frame.GetFolderPath(static_cast<TFolderKind>(36)), L"");
  EXPECT_EQ(frame.GetFolderPath(static_cast<TFolderKind>(-1)), L"");
  EXPECT_TRUE(system.csidlsAsked.empty());
  EXPECT_EQ(frame.GetWindowsDrive(), L"D:");
}

// The real system under Wine: the folders the window relies on are there.
TEST(TAppFrameOnWindows, FindsTheFoldersTheWindowUses) {
  const TAppFrame frame;
  EXPECT_FALSE(frame.AppData().empty());
  EXPECT_NE(frame.AppData().back(), L'\\');
  EXPECT_NE(GetFileAttributesW(frame.AppData().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(frame.CommonAppData().empty());

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring selfPath = self;
  EXPECT_EQ(frame.ExePath(), selfPath.substr(0, selfPath.rfind(L'\\') + 1));

  const std::wstring desktop = frame.GetFolderPath(fkDesktop);
  ASSERT_FALSE(desktop.empty());
  EXPECT_NE(desktop.back(), L'\\');
  EXPECT_EQ(frame.GetTempDir().back(), L'\\');
  EXPECT_EQ(frame.GetFolderPath(fkLocalAppData), frame.GetFolderPath(fkLocalAppDataAlt));
  EXPECT_EQ(frame.GetFolderPath(fkCommonFiles), frame.GetFolderPath(fkCommonFilesAlt));
  EXPECT_EQ(frame.GetWindowsDrive(), frame.GetWindowsDir().substr(0, 2));
  EXPECT_FALSE(frame.GetLogonUserName().empty());
}

// The real registry reader: text values, values that are not text, missing
// values and keys.
TEST(TAppFrameOnWindows, RegistryReaderAnswersOnlyWithText) {
  const std::wstring keyName =
      L"Software\\BrkPortableTests\\Locator" + std::to_wstring(GetCurrentProcessId());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring text = L"C:\\Some where\\AppData";
  RegSetValueExW(key, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  // Stored without its closing NUL: the reader must not run past the data.
  RegSetValueExW(key, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  const DWORD number = 7;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  RegCloseKey(key);

  const FolderPlatform windows = FolderPlatform::Windows();
  EXPECT_EQ(windows.RegistryText(HKEY_CURRENT_USER, keyName, L"Text"), text);
  EXPECT_EQ(windows.RegistryText(HKEY_CURRENT_USER, keyName, L"Unterminated"), text);
  EXPECT_EQ(windows.RegistryText(HKEY_CURRENT_USER, keyName, L"Number"), L"");
  EXPECT_EQ(windows.RegistryText(HKEY_CURRENT_USER, keyName, L"Missing"), L"");
  EXPECT_EQ(windows.RegistryText(HKEY_CURRENT_USER, keyName + L"\\Missing", L"Text"), std::nullopt);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\BrkPortableTests");
}

}  // namespace
