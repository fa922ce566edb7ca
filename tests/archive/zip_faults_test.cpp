// What the writer does where a plain reading of the zip format would lose
// or corrupt data: failed reads and writes, names outside ASCII, names that
// cannot be encoded, sources past 4 GiB, more than 65535 entries, long paths
// and files that another program holds open.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ZipTestSupport.h"
#include "ZipWriterTestFiles.h"
#include "archive/ZipWriter.h"

namespace fs = std::filesystem;
using namespace ziptest;

namespace {

// A source file for one scenario, listed in its manifest when it is kept.
ExpectedEntry file_entry(const fs::path& path, std::wstring name, const Bytes& data, int method) {
  make_file(path, data, kJune2014);
  return {.name = std::move(name),
          .source = relative_source(path),
          .flags = std::uint16_t(method == 8 ? 2 : 0),
          .mtime = kJune2014,
          .method = method};
}

// A folder more than 300 characters deep below dir.
fs::path long_path_below(const fs::path& dir) {
  fs::path deep = dir;
  for (int i = 0; deep.wstring().size() < 320; ++i) {
    deep /= L"folder_with_a_rather_long_name_" + std::to_wstring(i);
  }
  fs::create_directories(deep);
  return deep;
}

struct FaultCase {
  const char* name;
  // Adds the scenario's own entry between the two good ones; lists in the
  // manifest whatever it adds successfully; answers the add's result.
  std::function<ZipResult(ZipHandle, const fs::path&, Manifest&)> add;
  ZipResult expected;
  ZipResult later;  // the next add afterwards
  // The system's reason for the add's failure, as the writer keeps it.
  DWORD system_error = ERROR_SUCCESS;
};

const FaultCase kFaultCases[] = {
    {"read_error_deflated",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "big.txt", sample_text(300000), kJune2014);
       FaultyFiles files;
       FaultyFiles::read_budget = 100000;
       return zip_add_file(zip, L"big.txt", (dir / "big.txt").c_str());
     },
     zip_result::read_file, zip_result::ok, ERROR_READ_FAULT},
    {"read_error_stored",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "data.gz", pseudo_random(100000, 6), kJune2014);
       FaultyFiles files;
       FaultyFiles::read_budget = 30000;
       return zip_add_file(zip, L"data.gz", (dir / "data.gz").c_str());
     },
     zip_result::read_file, zip_result::ok, ERROR_READ_FAULT},
    {"disk_full_in_compressed_data",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "big.txt", sample_text(200000), kJune2014);
       FaultyFiles files;
       FaultyFiles::write_budget = 3000;
       return zip_add_file(zip, L"big.txt", (dir / "big.txt").c_str());
     },
     zip_result::write_file, zip_result::previous_error, ERROR_DISK_FULL},
    {"disk_full_in_stored_data",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "data.gz", pseudo_random(100000, 7), kJune2014);
       FaultyFiles files;
       FaultyFiles::write_budget = 50000;
       return zip_add_file(zip, L"data.gz", (dir / "data.gz").c_str());
     },
     zip_result::write_file, zip_result::previous_error, ERROR_DISK_FULL},
    {"disk_full_in_local_header",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "small.txt", sample_text(100), kJune2014);
       FaultyFiles files;
       FaultyFiles::write_budget = 20;
       return zip_add_file(zip, L"small.txt", (dir / "small.txt").c_str());
     },
     zip_result::write_file, zip_result::previous_error, ERROR_DISK_FULL},
    {"names_outside_ascii",
     [](ZipHandle zip, const fs::path& dir, Manifest& manifest) {
       ExpectedEntry french =
           file_entry(dir / "f1", L"donn\u00e9es/\u00e9t\u00e9.txt", sample_text(500), 8);
       ExpectedEntry japanese =
           file_entry(dir / "f2", L"\u65e5\u672c\u8a9e.gz", sample_text(300), 0);
       ExpectedEntry emoji = file_entry(dir / "f3", L"\U0001F600.txt", sample_text(200), 8);
       french.flags = 0x0802, japanese.flags = 0x0800, emoji.flags = 0x0802;
       ZipResult r = zip_add_file(zip, L"donn\u00e9es\\\u00e9t\u00e9.txt", (dir / "f1").c_str());
       r |= zip_add_file(zip, japanese.name.c_str(), (dir / "f2").c_str());
       r |= zip_add_file(zip, emoji.name.c_str(), (dir / "f3").c_str());
       manifest.entries.insert(manifest.entries.end(), {french, japanese, emoji});
       return r;
     },
     zip_result::ok, zip_result::ok},
    {"lone_surrogate_in_name",
     [](ZipHandle zip, const fs::path& dir, Manifest&) {
       make_file(dir / "x.txt", sample_text(100), kJune2014);
       std::wstring name = L"bad";
       name += wchar_t(0xD800);
       name += L".txt";
       return zip_add_file(zip, name.c_str(), (dir / "x.txt").c_str());
     },
     zip_result::bad_arguments, zip_result::ok},
    {"long_source_path_and_name",
     [](ZipHandle zip, const fs::path& dir, Manifest& manifest) {
       fs::path deep = long_path_below(dir) / L"deep.txt";
       std::wstring name = deep.lexically_relative(dir).generic_wstring();
       manifest.entries.push_back(file_entry(deep, name, sample_text(1000), 8));
       EXPECT_GT(deep.wstring().size(), 300u);
       return zip_add_file(zip, name.c_str(), deep.c_str());
     },
     zip_result::ok, zip_result::ok},
    {"source_held_open_for_writing",
     [](ZipHandle zip, const fs::path& dir, Manifest& manifest) {
       manifest.entries.push_back(file_entry(dir / "log.txt", L"log.txt", sample_text(800), 8));
       HANDLE writer =
           CreateFileW((dir / "log.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
       EXPECT_NE(writer, INVALID_HANDLE_VALUE);
       ZipResult r = zip_add_file(zip, L"log.txt", (dir / "log.txt").c_str());
       CloseHandle(writer);
       return r;
     },
     zip_result::ok, zip_result::ok},
};

class ZipFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ZipFaults, OnlyTheListedEntriesAreInTheArchive) {
  const FaultCase& c = GetParam();
  std::string name = std::string("fault_") + c.name;
  fs::path dir = scenario_dir(name);
  Manifest manifest;
  ExpectedEntry good1 = file_entry(dir / "good1.txt", L"good1.txt", sample_text(5000), 8);
  ExpectedEntry good2 = file_entry(dir / "good2.txt", L"good2.txt", sample_text(6000), 8);
  ZipHandle zip = zip_create_file(kept_archive(name).c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_file(zip, L"good1.txt", (dir / "good1.txt").c_str()), 0u);
  manifest.entries.push_back(good1);
  EXPECT_EQ(c.add(zip, dir, manifest), c.expected);
  EXPECT_EQ(zip_last_system_error(), c.system_error);
  EXPECT_EQ(zip_add_file(zip, L"good2.txt", (dir / "good2.txt").c_str()), c.later);
  if (c.later == zip_result::ok) manifest.entries.push_back(good2);
  EXPECT_EQ(zip_close(zip), 0u);
  keep_manifest(name, manifest);

  Listing listing = list_archive(read_file(kept_archive(name)));
  ASSERT_EQ(listing.entries.size(), manifest.entries.size());
  for (std::size_t i = 0; i < manifest.entries.size(); ++i) {
    const ExpectedEntry& expected = manifest.entries[i];
    const ListedEntry& e = listing.entries[i];
    EXPECT_EQ(e.flags, *expected.flags) << e.name;
    EXPECT_EQ(e.local_flags, *expected.flags) << e.name;
  }
  expect_contiguous(listing);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZipFaults, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the result code says only "could not open", the system's reason
// tells a missing file from one that another program holds, and a missing
// target folder from the rest; each operation starts without one.
TEST(ZipSystemError, KeepsTheReasonOfEachOperationsFirstFailure) {
  fs::path dir = scenario_dir("system_error");
  make_file(dir / "held.txt", sample_text(100), kJune2014);
  EXPECT_EQ(zip_create_file((dir / "no such folder" / "a.zip").c_str(), nullptr), nullptr);
  EXPECT_EQ(zip_last_system_error(), DWORD(ERROR_PATH_NOT_FOUND));

  ZipHandle zip = zip_create_file((dir / "a.zip").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_last_system_error(), DWORD(ERROR_SUCCESS));
  EXPECT_EQ(zip_add_file(zip, L"gone.txt", (dir / "gone.txt").c_str()), zip_result::open_file);
  EXPECT_EQ(zip_last_system_error(), DWORD(ERROR_FILE_NOT_FOUND));
  {
    // Held with no sharing at all, as a program that locks its file.
    HANDLE locker = CreateFileW((dir / "held.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    EXPECT_EQ(zip_add_file(zip, L"held.txt", (dir / "held.txt").c_str()), zip_result::open_file);
    EXPECT_EQ(zip_last_system_error(), DWORD(ERROR_SHARING_VIOLATION));
    CloseHandle(locker);
  }
  EXPECT_EQ(zip_add_file(zip, L"held.txt", (dir / "held.txt").c_str()), zip_result::ok);
  EXPECT_EQ(zip_last_system_error(), DWORD(ERROR_SUCCESS));
  EXPECT_EQ(zip_close(zip), zip_result::ok);
}

// A failed entry whose bytes cannot be cut back stays in the archive as bytes
// that no entry lists; the entries after it must still be recorded where
// they really start.
TEST(ZipCutBack, RefusedByTheFileLeavesLaterEntriesWhereTheDirectorySays) {
  fs::path dir = scenario_dir("cut_back_refused");
  make_file(dir / "good1.txt", sample_text(5000), kJune2014);
  make_file(dir / "big.bin", pseudo_random(300000, 8), kJune2014);  // goes to disk part-way
  const Bytes stored = pseudo_random(6000, 9);
  make_file(dir / "good2.gz", stored, kJune2014);
  ZipHandle zip = zip_create_file(kept_archive("cut_back_refused").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_file(zip, L"good1.txt", (dir / "good1.txt").c_str()), 0u);
  {
    FaultyFiles files;
    FaultyFiles::refuse_to_shrink = true;
    FaultyFiles::read_budget = 100000;
    EXPECT_EQ(zip_add_file(zip, L"big.bin", (dir / "big.bin").c_str()), zip_result::read_file);
    FaultyFiles::read_budget = UINT64_MAX;
    EXPECT_EQ(zip_add_file(zip, L"good2.gz", (dir / "good2.gz").c_str()), 0u);
  }
  EXPECT_EQ(zip_close(zip), 0u);

  // The listing finds each entry's local header, with its name, at the
  // offset the directory gives, and the stored entry's bytes behind it; the
  // failed entry's bytes lie between.
  const Bytes archive = read_file(kept_archive("cut_back_refused"));
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 2u);
  const ListedEntry& last = listing.entries[1];
  EXPECT_EQ(last.name, "good2.gz");
  EXPECT_GT(last.local_offset, listing.entries[0].data_offset + listing.entries[0].compressed_size);
  ASSERT_LE(last.data_offset + stored.size(), archive.size());
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), archive.begin() + last.data_offset));
}

TEST(ZipLimits, MoreThan65535EntriesGetZip64EndRecords) {
  fs::path dir = scenario_dir("many");
  ZipHandle zip = zip_create_file(kept_archive("many").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  Manifest manifest;
  manifest.entries.push_back(file_entry(dir / "first.txt", L"first.txt", sample_text(100), 8));
  ASSERT_EQ(zip_add_file(zip, L"first.txt", (dir / "first.txt").c_str()), 0u);
  for (int i = 1; i < 65536; ++i) {
    std::wstring folder = L"f" + std::to_wstring(i) + L"/";
    ASSERT_EQ(zip_add_folder(zip, folder.c_str()), 0u) << i;
    manifest.entries.push_back({.name = folder, .folder = true, .flags = 0, .method = 0});
  }
  EXPECT_EQ(zip_close(zip), 0u);
  keep_manifest("many", manifest);
  Listing listing = list_archive(read_file(kept_archive("many")));
  EXPECT_TRUE(listing.zip64_end);
  EXPECT_EQ(listing.end_count16, 0xFFFF);
  EXPECT_EQ(listing.entry_count, 65536u);
  EXPECT_EQ(listing.entries.size(), 65536u);
}

std::uint64_t free_bytes(const fs::path& dir) {
  ULARGE_INTEGER free{};
  GetDiskFreeSpaceExW(dir.c_str(), &free, nullptr, nullptr);
  return free.QuadPart;
}

TEST(ZipLimits, EntriesAndOffsetsPast4GiBGetZip64Fields) {
  constexpr std::uint64_t kHugeSize = (std::uint64_t(1) << 32) + 4097;
  fs::path dir = scenario_dir("huge");
  if (free_bytes(dir) < 3 * kHugeSize) GTEST_SKIP() << "not enough disk space for a 4 GiB archive";
  Manifest manifest;
  manifest.entries.push_back(file_entry(dir / "before.txt", L"before.txt", sample_text(1000), 8));
  manifest.entries.push_back(file_entry(dir / "after.txt", L"after.txt", sample_text(2000), 8));
  // A sparse file: its zeros cost no disk space until the archive holds them.
  fs::path huge = dir / "huge.zip";
  {
    HANDLE h = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(kHugeSize);
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
  }
  ZipHandle zip = zip_create_file(kept_archive("huge").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_file(zip, L"before.txt", (dir / "before.txt").c_str()), 0u);
  EXPECT_EQ(zip_add_file(zip, L"huge.zip", huge.c_str()), 0u);
  EXPECT_EQ(zip_add_file(zip, L"after.txt", (dir / "after.txt").c_str()), 0u);
  EXPECT_EQ(zip_close(zip), 0u);
  fs::remove(huge);
  manifest.entries.insert(manifest.entries.begin() + 1,
                          {.name = L"huge.zip", .zeros = kHugeSize, .flags = 0, .method = 0});
  keep_manifest("huge", manifest);

  Listing listing = list_archive_file(kept_archive("huge"));
  ASSERT_EQ(listing.entries.size(), 3u);
  expect_contiguous(listing);
  const ListedEntry& big = listing.entries[1];
  EXPECT_EQ(big.version_needed, 45);
  EXPECT_EQ(big.local_version_needed, 45);
  EXPECT_EQ(big.uncompressed_size, kHugeSize);
  EXPECT_EQ(big.compressed_size, kHugeSize);
  EXPECT_EQ(big.local_compressed, 0xFFFFFFFFu);
  EXPECT_EQ(big.local_uncompressed, 0xFFFFFFFFu);
  ASSERT_EQ(big.local_extra.size(), 20u + 17u);
  EXPECT_EQ(le16(big.local_extra, 0), 0x0001);
  EXPECT_EQ(le64(big.local_extra, 4), kHugeSize);
  EXPECT_EQ(le64(big.local_extra, 12), kHugeSize);
  const ListedEntry& after = listing.entries[2];
  EXPECT_GT(after.local_offset, kHugeSize);
  EXPECT_EQ(after.version_needed, 45);
  EXPECT_TRUE(listing.zip64_end);
  EXPECT_EQ(listing.entries[0].version_needed, 20);  // small entries stay as they were
}

}  // namespace
