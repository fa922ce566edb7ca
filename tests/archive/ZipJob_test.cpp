#include "archive/ZipJob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "JobTestSupport.h"
#include "archive/ZipFileLayer.h"
#include "archive/ZipResult.h"
#include "archive/ZipWriter.h"
#include "ui/MessageWait.h"

namespace {

using archive::GetRelativePath;
using archive::ProgressPercent;
using archive::TemporaryArchivePath;
using jobtest::ArchiveEntryNames;
using jobtest::Exists;
using jobtest::JobRun;
using jobtest::NoisyBytes;
using jobtest::ReadAll;
using jobtest::RunJob;
using jobtest::ScratchFolder;
using jobtest::StopAt;
using Names = std::vector<std::string>;

std::vector<std::uint16_t> Percents(const JobRun& run) {
  std::vector<std::uint16_t> percents;
  for (const auto& report : run.progress) percents.push_back(report.percent);
  return percents;
}

void ExpectReadersAgree(const std::wstring& archive, const std::wstring& source,
                        const Names& names) {
  const jobtest::ReaderVerdict verdict = jobtest::CheckWithReaders(archive, source, names);
  // Only Windows itself has no Linux readers to start; under Wine a reader
  // that could not be started is a check that did not happen.
  EXPECT_TRUE(verdict.ran || !jobtest::UnderWine()) << "no reader could be started";
  if (verdict.ran) {
    EXPECT_TRUE(verdict.ok) << verdict.report;
  }
}

TEST(ProgressPercent, IsTruncatedFromExtendedPrecisionAndEndsAtExactly100) {
  struct Case {
    std::size_t done, count;
    std::uint16_t percent;
  };
  // 29 and 57 of 100 come out one lower in double precision; 53 and 59 of
  // 100 one lower in extended precision than in exact arithmetic.
  const Case cases[] = {{1, 1, 100},   {1, 3, 33},         {2, 3, 66},    {3, 3, 100},
                        {29, 100, 29}, {57, 100, 57},      {53, 100, 52}, {59, 100, 58},
                        {1, 65536, 0}, {65536, 65536, 100}};
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressPercent(c.done, c.count), c.percent) << c.done << " of " << c.count;
  }
}

TEST(ProgressPercent, AgreesWithTheFloatingPointUnitsExtendedPrecision) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 64-bit significand";
  int differences = 0;
  for (std::size_t count = 1; count <= 700; ++count) {
    for (std::size_t done = 1; done <= count; ++done) {
      const long double quotient = static_cast<long double>(done) / count;
      const auto expected = static_cast<std::uint16_t>(static_cast<long long>(quotient * 100.0L));
      if (ProgressPercent(done, count) != expected && ++differences < 5) {
        ADD_FAILURE() << done << " of " << count << ": " << ProgressPercent(done, count)
                      << " instead of " << expected;
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(GetRelativePath, GivesDotSeparatorAndThePathBelowTheBaseAtAnyLength) {
  EXPECT_EQ(GetRelativePath(L"D:\\App\\", L"D:\\App\\Skin\\a.png"), L".\\Skin\\a.png");
  EXPECT_EQ(GetRelativePath(L"D:\\App\\", L"D:\\App\\a.png"), L".\\a.png");
  const std::wstring deep = std::wstring(280, L'd');
  EXPECT_EQ(GetRelativePath(L"D:\\App\\", L"D:\\App\\" + deep + L"\\a.png"),
            L".\\" + deep + L"\\a.png");
  EXPECT_EQ(GetRelativePath(L"D:\\App\\", L"D:\\Other\\" + deep), L"");
}

TEST(TZipFile, PacksBreadthFirstWithSlashNamesAndReportsEachFileOnTheOwnersThread) {
  ScratchFolder tree;
  tree.Write(L"src\\b.txt", "root b");
  tree.Write(L"src\\a.txt", "root a");
  tree.Write(L"src\\Sub1\\Deep\\y.txt", "deep y");
  tree.Write(L"src\\Sub1\\x.txt", "sub1 x");
  tree.Write(L"src\\Sub2\\z.txt", NoisyBytes(70000, 1) + std::string(70000, 'z'));
  const std::wstring target = tree / L"out\\BRK_Portable.zip";

  const JobRun run = RunJob(tree / L"src", target);

  const Names expected = {"a.txt", "b.txt", "Sub1/x.txt", "Sub2/z.txt", "Sub1/Deep/y.txt"};
  EXPECT_EQ(run.finishes, std::vector<bool>{true});
  EXPECT_TRUE(run.onOwnerThread);
  EXPECT_EQ(ArchiveEntryNames(target), expected);
  EXPECT_EQ(Percents(run), (std::vector<std::uint16_t>{20, 40, 60, 80, 100}));
  std::vector<std::wstring> reported;
  for (const auto& report : run.progress) reported.push_back(report.file);
  EXPECT_EQ(reported, (std::vector<std::wstring>{
                          tree / L"src\\a.txt", tree / L"src\\b.txt", tree / L"src\\Sub1\\x.txt",
                          tree / L"src\\Sub2\\z.txt", tree / L"src\\Sub1\\Deep\\y.txt"}));
  EXPECT_FALSE(Exists(TemporaryArchivePath(target)));
  ExpectReadersAgree(target, tree / L"src", expected);
}

TEST(TZipFile, ReportsOnceAt100ForOneFileAndAt33And66And100ForThree) {
  ScratchFolder tree;
  tree.Write(L"one\\only.bin", "x");
  for (const wchar_t* name : {L"three\\1", L"three\\2", L"three\\3"}) tree.Write(name, "y");

  const JobRun one = RunJob(tree / L"one", tree / L"one.zip");
  const JobRun three = RunJob(tree / L"three", tree / L"three.zip");

  EXPECT_EQ(Percents(one), std::vector<std::uint16_t>{100});
  EXPECT_EQ(Percents(three), (std::vector<std::uint16_t>{33, 66, 100}));
  EXPECT_EQ(one.finishes, std::vector<bool>{true});
  EXPECT_EQ(three.finishes, std::vector<bool>{true});
}

TEST(TZipFile, PacksHiddenAndSystemFilesAndFoldersAndLeavesEmptyFoldersOut) {
  ScratchFolder tree;
  const std::wstring hidden = tree.Write(L"src\\hidden.dat", "h");
  const std::wstring system = tree.Write(L"src\\system.dat", "s");
  tree.Write(L"src\\.settings", "dot");
  const std::wstring hiddenFolder = tree.MakeFolder(L"src\\Secret");
  tree.Write(L"src\\Secret\\inside.txt", "i");
  tree.MakeFolder(L"src\\Empty\\Emptier");
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(hiddenFolder.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const std::wstring target = tree / L"all.zip";

  const JobRun run = RunJob(tree / L"src", target);

  const Names expected = {".settings", "hidden.dat", "system.dat", "Secret/inside.txt"};
  EXPECT_EQ(run.finishes, std::vector<bool>{true});
  EXPECT_EQ(ArchiveEntryNames(target), expected);
  ExpectReadersAgree(target, tree / L"src", expected);
}

TEST(TZipFile, CreatesAMissingTargetFolderWithItsParents) {
  ScratchFolder tree;
  tree.Write(L"src\\f.txt", "f");
  const std::wstring target = tree / L"new\\deeper\\deepest\\BRK_Portable.zip";

  const JobRun run = RunJob(tree / L"src", target);

  EXPECT_EQ(run.finishes, std::vector<bool>{true});
  EXPECT_EQ(ArchiveEntryNames(target), Names{"f.txt"});
}

TEST(TZipFile, LeavesOutExcludedNamesWhateverTheirCase) {
  ScratchFolder tree;
  tree.Write(L"src\\keep.txt", "k");
  tree.Write(L"src\\Thumbs.db", "t");
  tree.Write(L"src\\Sub\\THUMBS.DB", "t");
  tree.Write(L"src\\Cache\\skipped.txt", "c");
  const std::wstring target = tree / L"ex.zip";

  const JobRun run = RunJob(tree / L"src", target, StopAt::never, {L"thumbs.db", L"cache"});

  EXPECT_EQ(run.finishes, std::vector<bool>{true});
  EXPECT_EQ(ArchiveEntryNames(target), Names{"keep.txt"});
}

TEST(TZipFile, KeepsADotAndSeparatorInsideAName) {
  ScratchFolder tree;
  // A folder name ending in "." can only be made through the "\\?\" form.
  const std::wstring folder = tree / L"src\\v1.";
  tree.MakeFolder(L"src");
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  HANDLE file = CreateFileW((L"\\\\?\\" + folder + L"\\notes.txt").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  const std::wstring target = tree / L"dots.zip";

  const JobRun run = RunJob(tree / L"src", target);

  EXPECT_EQ(run.finishes, std::vector<bool>{true});
  EXPECT_EQ(ArchiveEntryNames(target), Names{"v1./notes.txt"});
}

TEST(TZipFile, AddsEveryFileWhileTheOwnerServesNoMessagesAndReportsThemAllBeforeTheEnd) {
  // 250 files: a percentage step every few files, and several files for
  // some steps.
  ScratchFolder tree;
  std::vector<std::wstring> files;
  for (int i = 0; i < 250; ++i) {
    files.push_back(tree.Write(L"src\\f" + std::to_wstring(1000 + i) + L".txt",
                               NoisyBytes(std::size_t(i) * 37, i)));
  }
  const std::wstring target = tree / L"busy.zip";
  std::vector<jobtest::Report> reports;
  std::vector<bool> finishes;
  std::size_t reportsBeforeTheEnd = 0;
  archive::TZipFile job;
  job.SetZipFileName(target);
  job.SetSourceDir(tree / L"src");
  job.SetOnProgress([&](std::uint16_t percent, const std::wstring& file) {
    reports.push_back({percent, file});
  });
  job.SetOnFinish([&](const archive::TJobResult& result) {
    finishes.push_back(result.Succeeded());
    reportsBeforeTheEnd = reports.size();
  });
  job.Start();
  // An owner busy elsewhere: the archive is put in place, every file added,
  // before the owner looks at a message.
  for (int waited = 0; !Exists(target) && waited < 60000; waited += 10) Sleep(10);
  EXPECT_TRUE(Exists(target)) << "the job waited for the owner";
  EXPECT_TRUE(reports.empty());
  ui::ProcessMessagesUntil([&] { return job.IsFinished(); });

  EXPECT_EQ(finishes, std::vector<bool>{true});
  ASSERT_EQ(reports.size(), files.size());
  EXPECT_EQ(reportsBeforeTheEnd, files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(reports[i].file, files[i]);
    EXPECT_EQ(reports[i].percent, ProgressPercent(i + 1, files.size())) << i;
  }
}

// The archive one thread writes: zip_add_file for each of the names, in
// their order.
void WriteWithOneThread(const std::wstring& source, const Names& names,
                        const std::wstring& target) {
  ZipHandle archive = zip_create_file(target.c_str(), nullptr);
  ASSERT_NE(archive, nullptr);
  for (const std::string& name : names) {
    std::wstring relative(name.begin(), name.end());
    for (wchar_t& c : relative) {
      if (c == L'/') c = L'\\';
    }
    EXPECT_EQ(zip_add_file(archive, relative.c_str(), (source + relative).c_str()), 0u) << name;
  }
  EXPECT_EQ(zip_close(archive), 0u);
}

TEST(TZipFile, WritesTheArchiveOneThreadWritesWhateverTheNumberOfWorkers) {
  // Many small files, empty ones, large ones that span many blocks, and
  // already-compressed ones (stored by name, or deflated to no gain): the
  // workers finish them out of order.
  ScratchFolder tree;
  for (int i = 0; i < 240; ++i) {
    const std::wstring folder = L"src\\Folder" + std::to_wstring(i % 12) + L"\\";
    const std::size_t size = std::size_t(i * 7919) % 24000;
    tree.Write(folder + L"small" + std::to_wstring(i) + L".txt",
               i % 3 == 0 ? NoisyBytes(size, i) : std::string(size, char('a' + i % 26)));
  }
  for (int i = 0; i < 20; ++i) tree.Write(L"src\\Empty\\empty" + std::to_wstring(i), "");
  tree.Write(L"src\\large.bin", NoisyBytes(1500000, 1) + std::string(2000000, 'x'));
  tree.Write(L"src\\Folder3\\larger.dat", std::string(3000000, 'y') + NoisyBytes(900000, 2));
  tree.Write(L"src\\Data\\updates.zip", NoisyBytes(1200000, 3));
  tree.Write(L"src\\Data\\logs.gz", NoisyBytes(300, 4));
  tree.Write(L"src\\Skins\\picture.png", NoisyBytes(700000, 5));
  const std::wstring source = tree / L"src\\";
  // The first run gives the names in their order. Its reads also settle the
  // files' access times, which entries record: the first read of a new file
  // may move it.
  const std::wstring one = tree / L"one.zip";
  ASSERT_EQ(RunJob(source, one, StopAt::never, {}, 1).finishes, std::vector<bool>{true});
  const Names names = ArchiveEntryNames(one);
  ASSERT_EQ(names.size(), 240u + 20 + 5);

  const std::wstring reference = tree / L"reference.zip";
  WriteWithOneThread(source, names, reference);
  const std::string expected = ReadAll(reference);
  for (const unsigned workers : {1u, 2u, 4u}) {
    const std::wstring target = tree / (L"workers" + std::to_wstring(workers) + L".zip");
    const JobRun run = RunJob(source, target, StopAt::never, {}, workers);
    EXPECT_EQ(run.finishes, std::vector<bool>{true});
    EXPECT_TRUE(ReadAll(target) == expected) << workers << " workers";
  }
  ExpectReadersAgree(tree / L"workers4.zip", source, names);
}

TEST(TZipFile, DestroyedWithoutStartingEndsWithoutReports) {
  ScratchFolder tree;
  tree.Write(L"src\\f.txt", "f");
  int reports = 0;
  {
    archive::TZipFile job;
    job.SetZipFileName(tree / L"never.zip");
    job.SetSourceDir(tree / L"src");
    job.SetOnProgress([&](std::uint16_t, const std::wstring&) { ++reports; });
    job.SetOnFinish([&](const archive::TJobResult&) { ++reports; });
    EXPECT_FALSE(job.IsFinished());
  }
  EXPECT_EQ(reports, 0);
  EXPECT_FALSE(Exists(tree / L"never.zip"));
}

// What goes wrong, and what each case must leave behind: a stop or a failure
// reports false and leaves the target as it was; the cases that end well
// write exactly the expected entries.
struct FaultCase {
  const char* name;
  // Builds the source below tree; may hold something open for the run.
  std::function<std::shared_ptr<void>(ScratchFolder& tree, std::wstring& source,
                                      std::wstring& target)>
      prepare;
  StopAt stop = StopAt::never;
  bool finished = false;
  // Entries of the archive when the run ends well.
  Names entries = {};
  // The last progress report, if any must come.
  std::optional<std::uint16_t> lastPercent = {};
  // The most progress reports that may come, where that is bounded.
  std::optional<std::size_t> mostReports = {};
  // Why the run failed, as the finished report says it: the kind, the path
  // it names (from the tree), and the system's code where one must come.
  archive::TJobResultKind kind = archive::jrSucceeded;
  std::function<std::wstring(const ScratchFolder& tree)> reasonPath = {};
  std::optional<std::uint32_t> systemCode = {};
};

std::function<std::wstring(const ScratchFolder&)> Literal(std::wstring path) {
  return [path](const ScratchFolder&) { return path; };
}
std::function<std::wstring(const ScratchFolder&)> Below(std::wstring relative) {
  return [relative](const ScratchFolder& tree) { return tree / relative; };
}

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.name;
}

constexpr char kOldArchive[] = "an archive from an earlier run";

std::wstring FilesInSource(ScratchFolder& tree, int count) {
  for (int i = 0; i < count; ++i) {
    tree.Write(L"src\\file" + std::to_wstring(10 + i) + L".bin", NoisyBytes(3000, i));
  }
  return tree / L"src";
}

// A file 300 characters below the source folder, as the archive names it.
std::wstring DeepRelativePath() {
  std::wstring deep;
  while (deep.size() < 300)
    deep += L"folder_of_a_long_name_" + std::to_wstring(deep.size()) + L"\\";
  return deep + L"deep.txt";
}

std::string EntryName(std::wstring relative) {
  for (wchar_t& c : relative) {
    if (c == L'\\') c = L'/';
  }
  return std::string(relative.begin(), relative.end());
}

// The zip writer's file layer with a disk that is full after a few bytes.
BOOL WINAPI WriteOntoFullDisk(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done,
                              LPOVERLAPPED overlapped) {
  static constexpr DWORD kRoomLeft = 4000;
  LARGE_INTEGER position{};
  SetFilePointerEx(file, {}, &position, FILE_CURRENT);
  const LONGLONG room = kRoomLeft - position.QuadPart;
  if (room < static_cast<LONGLONG>(size)) {
    if (room > 0) WriteFile(file, buffer, static_cast<DWORD>(room), done, overlapped);
    *done = room > 0 ? static_cast<DWORD>(room) : 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return WriteFile(file, buffer, size, done, overlapped);
}

// The same disk, full just when the archive's directory is to be written.
BOOL WINAPI WriteDirectoryOntoFullDisk(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done,
                                       LPOVERLAPPED overlapped) {
  static constexpr unsigned char kDirectoryHeader[] = {'P', 'K', 1, 2};
  if (size >= 4 && std::memcmp(buffer, kDirectoryHeader, 4) == 0) {
    *done = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return WriteFile(file, buffer, size, done, overlapped);
}

// The walk's listing, failing for the folder named Locked.
HANDLE WINAPI ListAllButLocked(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID data,
                               FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags) {
  if (std::wcsstr(pattern, L"\\Locked\\") != nullptr) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return FindFirstFileExW(pattern, level, data, search, filter, flags);
}

// The walk's listing, breaking off after the entry file11.bin, as a share
// that goes away part-way.
BOOL WINAPI ListUntilFile11(HANDLE listing, LPWIN32_FIND_DATAW data) {
  if (std::wcscmp(data->cFileName, L"file11.bin") == 0) {
    SetLastError(ERROR_NETNAME_DELETED);
    return FALSE;
  }
  return FindNextFileW(listing, data);
}

std::shared_ptr<void> ListWith(const archive::TFolderListing& listing) {
  archive::UseFolderListing(listing);
  return std::shared_ptr<void>(nullptr, [](void*) { archive::UseSystemFolderListing(); });
}

const FaultCase kFaultCases[] = {
    {.name = "StopDuringTheWalk",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 3);
           return std::shared_ptr<void>();
         },
     .stop = StopAt::walk,
     .mostReports = 0,
     .kind = archive::jrStopped},
    {.name = "StopDuringTheAddPass",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 30);
           return std::shared_ptr<void>();
         },
     .stop = StopAt::addPass,
     .lastPercent = 100,
     // Files of one read each and one that finds their end: four at most
     // were read before the stop, and the stop's own report follows.
     .mostReports = 5,
     .kind = archive::jrStopped},
    {.name = "StopInsideALargeFile",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           tree.Write(L"src\\a_large_file.bin", NoisyBytes(4 << 20, 7));
           source = FilesInSource(tree, 3);
           return std::shared_ptr<void>();
         },
     .stop = StopAt::insideAFile,
     .lastPercent = 100,
     .mostReports = 1,
     .kind = archive::jrStopped},
    {.name = "SubfolderThatCannotBeListed",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 2);
           tree.Write(L"src\\Locked\\secret.txt", "s");
           return ListWith({&ListAllButLocked, &FindNextFileW});
         },
     .mostReports = 0,
     .kind = archive::jrFolderUnreadable,
     .reasonPath = Literal(L"Locked"),
     .systemCode = ERROR_ACCESS_DENIED},
    {.name = "ListingThatFailsPartWay",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 4);
           return ListWith({&FindFirstFileExW, &ListUntilFile11});
         },
     .mostReports = 0,
     // The source folder itself: by its full path.
     .kind = archive::jrFolderUnreadable,
     .reasonPath = Below(L"src"),
     .systemCode = ERROR_NETNAME_DELETED},
    {.name = "FileThatCannotBeOpened",
     .prepare = [](ScratchFolder& tree, std::wstring& source,
                   std::wstring&) -> std::shared_ptr<void> {
       source = FilesInSource(tree, 3);
       // Held open with no sharing at all, as a program that locks its file.
       HANDLE locked = CreateFileW((tree / L"src\\file11.bin").c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
       return std::shared_ptr<void>(locked, [](HANDLE h) { CloseHandle(h); });
     },
     .kind = archive::jrFileUnreadable,
     .reasonPath = Literal(L"file11.bin"),
     .systemCode = ERROR_SHARING_VIOLATION},
    {.name = "FolderLinkLoop",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           tree.Write(L"src\\top.txt", "top");
           tree.Write(L"src\\Sub\\below.txt", "below");
           source = tree / L"src";
           EXPECT_TRUE(tree.MakeFolderLink(L"src\\Sub\\BackToTop", source));
           EXPECT_TRUE(tree.MakeFolderLink(L"src\\Sideways", tree / L"src\\Sub"));
           return std::shared_ptr<void>();
         },
     .finished = true,
     .entries = {"top.txt", "Sub/below.txt"},
     .lastPercent = 100},
    {.name = "TargetInsideTheSource",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring& target) {
           tree.Write(L"src\\readme.txt", "r");
           source = tree / L"src";
           target = tree / L"src\\Out\\BRK_Portable.zip";
           tree.Write(L"src\\Out\\BRK_Portable.zip", kOldArchive);
           tree.Write(L"src\\Out\\BRK_Portable.zip.partial", "left by a crash");
           return std::shared_ptr<void>();
         },
     .finished = true,
     .entries = {"readme.txt"},
     .lastPercent = 100},
    {.name = "MissingSourceFolder",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = tree / L"no such folder";
           return std::shared_ptr<void>();
         },
     .kind = archive::jrNoSource,
     .reasonPath = Below(L"no such folder")},
    {.name = "SourceWithOnlyEmptyFolders",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           tree.MakeFolder(L"src\\A\\B");
           tree.MakeFolder(L"src\\C");
           source = tree / L"src";
           return std::shared_ptr<void>();
         },
     .kind = archive::jrSourceEmpty,
     .reasonPath = Below(L"src")},
    {.name = "PathOf300Characters",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           tree.Write(L"src\\" + DeepRelativePath(), "deep");
           tree.Write(L"src\\short.txt", "short");
           source = tree / L"src";
           return std::shared_ptr<void>();
         },
     .finished = true,
     .entries = {"short.txt", EntryName(DeepRelativePath())},
     .lastPercent = 100},
    {.name = "FullDisk",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 4);
           zip_use_file_layer({&ReadFile, &WriteOntoFullDisk});
           return std::shared_ptr<void>(nullptr, [](void*) { zip_use_system_files(); });
         },
     .kind = archive::jrDiskFull,
     .reasonPath = Below(L"Target"),
     .systemCode = ERROR_DISK_FULL},
    {.name = "FullDiskWhileEnding",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring&) {
           source = FilesInSource(tree, 2);
           zip_use_file_layer({&ReadFile, &WriteDirectoryOntoFullDisk});
           return std::shared_ptr<void>(nullptr, [](void*) { zip_use_system_files(); });
         },
     .lastPercent = 100,
     .kind = archive::jrDiskFull,
     .reasonPath = Below(L"Target"),
     .systemCode = ERROR_DISK_FULL},
    {.name = "TargetFolderCannotBeMade",
     .prepare =
         [](ScratchFolder& tree, std::wstring& source, std::wstring& target) {
           source = FilesInSource(tree, 2);
           target = tree.Write(L"a file", "in the way") + L"\\BRK_Portable.zip";
           return std::shared_ptr<void>();
         },
     .kind = archive::jrTargetUnwritable,
     .reasonPath = Below(L"a file")},
};

// How a writer's result code and the system's reason become what the
// window will say: which side is at fault and which path it names.
TEST(WriterFailure, TellsTheSourceFromTheTargetAndAFullDiskFromAGoneDrive) {
  using archive::TWriterStep;
  const std::wstring file = L"Data\\sub1\\file.txt";
  const std::wstring folder = L"E:\\Portable";
  struct Case {
    TWriterStep step;
    ZipResult zipCode;
    std::uint32_t systemCode;
    archive::TJobResultKind kind;
    std::wstring path;
  };
  const Case cases[] = {
      {TWriterStep::add, zip_result::open_file, ERROR_SHARING_VIOLATION, archive::jrFileUnreadable,
       file},
      {TWriterStep::add, zip_result::read_file, ERROR_READ_FAULT, archive::jrFileUnreadable, file},
      {TWriterStep::add, zip_result::write_file, ERROR_DISK_FULL, archive::jrDiskFull, folder},
      {TWriterStep::close, zip_result::write_file, ERROR_HANDLE_DISK_FULL, archive::jrDiskFull,
       folder},
      {TWriterStep::add, zip_result::write_file, ERROR_DEVICE_NOT_CONNECTED, archive::jrTargetGone,
       folder},
      {TWriterStep::close, zip_result::write_file, ERROR_NOT_READY, archive::jrTargetGone, folder},
      {TWriterStep::add, zip_result::write_file, ERROR_ACCESS_DENIED, archive::jrTargetUnwritable,
       folder},
      {TWriterStep::create, zip_result::open_file, ERROR_ACCESS_DENIED, archive::jrTargetUnwritable,
       folder},
      {TWriterStep::create, zip_result::open_file, ERROR_WRITE_PROTECT, archive::jrTargetUnwritable,
       folder},
      {TWriterStep::add, zip_result::previous_error, 0, archive::jrTargetUnwritable, folder},
      {TWriterStep::add, zip_result::alloc_memory, 0, archive::jrInternal, L""},
      {TWriterStep::add, zip_result::bad_arguments, 0, archive::jrInternal, L""},
  };
  for (const Case& c : cases) {
    const archive::TJobResult r =
        archive::WriterFailure(c.step, c.zipCode, c.systemCode, file, folder);
    SCOPED_TRACE(testing::Message() << "zip code " << c.zipCode << ", system " << c.systemCode);
    EXPECT_EQ(int(r.kind), int(c.kind));
    EXPECT_EQ(r.path, c.path);
    EXPECT_EQ(r.zipCode, c.zipCode);
    EXPECT_EQ(r.systemCode, c.systemCode);
    EXPECT_FALSE(r.Succeeded());
  }
  // The archive that could not take the old one's place: held open by a
  // viewer, say, or on a drive that went away meanwhile.
  EXPECT_EQ(archive::TargetFailure(ERROR_SHARING_VIOLATION, folder).kind,
            archive::jrTargetUnwritable);
  EXPECT_EQ(archive::TargetFailure(ERROR_DEV_NOT_EXIST, folder).kind, archive::jrTargetGone);
  EXPECT_TRUE(archive::IsSharingViolation(ERROR_LOCK_VIOLATION));
  EXPECT_FALSE(archive::IsSharingViolation(ERROR_ACCESS_DENIED));
}

class TZipFileFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(TZipFileFaults, EndAsTheyMustAndLeaveNothingHalfDone) {
  const FaultCase& c = GetParam();
  ScratchFolder tree;
  std::wstring source;
  const std::wstring oldTarget = tree.Write(L"Target\\BRK_Portable.zip", kOldArchive);
  std::wstring target = oldTarget;
  JobRun run;
  {
    const std::shared_ptr<void> held = c.prepare(tree, source, target);
    run = RunJob(source, target, c.stop);
  }

  EXPECT_EQ(run.finishes, std::vector<bool>{c.finished});
  ASSERT_EQ(run.results.size(), 1u);
  const archive::TJobResult& result = run.results[0];
  EXPECT_EQ(int(result.kind), int(c.kind));
  EXPECT_EQ(result.path, c.reasonPath ? c.reasonPath(tree) : std::wstring());
  if (c.systemCode) {
    EXPECT_EQ(result.systemCode, *c.systemCode);
  }
  EXPECT_TRUE(run.onOwnerThread);
  EXPECT_FALSE(Exists(TemporaryArchivePath(target)));
  if (c.lastPercent) {
    ASSERT_FALSE(run.progress.empty());
    EXPECT_EQ(run.progress.back().percent, *c.lastPercent);
  }
  if (c.mostReports) {
    EXPECT_LE(run.progress.size(), *c.mostReports);
    // Reports before the stop's own show that it landed mid-pass.
    if (run.progress.size() > 1) {
      EXPECT_LT(run.progress.front().percent, 100);
    }
  }
  if (c.stop == StopAt::insideAFile) {
    // The large file comes first; its add ends at the read after the stop,
    // and every other reader's at its next read too.
    EXPECT_LE(run.readsAfterStop, int(run.readers));
  }
  if (!c.finished) {
    if (target == oldTarget) {
      EXPECT_EQ(ReadAll(target), kOldArchive);
    } else {
      EXPECT_FALSE(Exists(target));
    }
    return;
  }
  EXPECT_EQ(ArchiveEntryNames(target), c.entries);
  EXPECT_EQ(run.progress.size(), c.entries.size());
  ExpectReadersAgree(target, source, c.entries);
}

INSTANTIATE_TEST_SUITE_P(Cases, TZipFileFaults, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
