// The zip writer's records, flags, attributes, times and result codes, on
// archives written to files, to handles that cannot seek and to memory. Every
// archive is also kept for the Linux-side readers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "ZipTestSupport.h"
#include "ZipWriterTestFiles.h"
#include "archive/Crc32.h"
#include "archive/ZipWriter.h"

namespace fs = std::filesystem;
using namespace ziptest;

namespace {

std::uint32_t ut_mtime(const ListedEntry& e) {
  return le32(e.central_extra, e.central_extra.size() - 4);
}

std::map<std::string, ListedEntry> by_name(const Listing& listing) {
  std::map<std::string, ListedEntry> out;
  for (const ListedEntry& e : listing.entries) out[e.name] = e;
  return out;
}

TEST(ZipWriter, ArchiveWithoutEntriesIsTheBareEndRecord) {
  ZipHandle zip = zip_create_file(kept_archive("empty").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_close(zip), 0u);
  Bytes expected(22, 0);
  expected[0] = 0x50, expected[1] = 0x4B, expected[2] = 0x05, expected[3] = 0x06;
  EXPECT_EQ(read_file(kept_archive("empty")), expected);
  keep_manifest("empty", {});
}

TEST(ZipWriter, EntriesOfEveryKindCarryTheirMethodFlagsAttributesAndTimes) {
  fs::path dir = scenario_dir("kinds");
  struct Source {
    std::wstring name;  // entry name as given
    std::string stored_name;
    Bytes data;
    std::int64_t mtime;
    DWORD extra_attributes;
    int method;
    std::uint32_t attributes;
    std::uint32_t dos_time;  // 0: depends on the local time zone
  };
  const std::int64_t k1970 = 13046400;    // 1970-06-01, before the DOS range
  const std::int64_t k2200 = 7258118400;  // 2200-01-01, after it
  // 2014-01-15 12:00:00 UTC: in a zone with summer time, winter stands at
  // another distance from UTC than the June files do.
  const std::int64_t kJanuary2014 = 1389787200;
  std::vector<Source> sources = {
      {L"empty.txt", "empty.txt", {}, kJune2014, 0, 8, 0x81800020, 0},
      {L"notes.txt", "notes.txt", sample_text(20000), kJune2014, 0, 8, 0x81800020, 0},
      {L"README", "README", pseudo_random(3000, 1), kJune2014, 0, 8, 0x81800020, 0},
      {L"backup.ZIP", "backup.ZIP", pseudo_random(1000, 2), kJune2014, 0, 0, 0x81800020, 0},
      {L"logs.Gz", "logs.Gz", sample_text(700), kJune2014, 0, 0, 0x81800020, 0},
      {L"a\\b.txt", "a/b.txt", sample_text(50), kJune2014, 0, 8, 0x81800020, 0},
      {L"readonly.txt", "readonly.txt", sample_text(60), kJune2014, FILE_ATTRIBUTE_READONLY, 8,
       0x81000021, 0},
      {L".config", ".config", sample_text(70), kJune2014, FILE_ATTRIBUTE_HIDDEN, 8, 0x81800022, 0},
      {L"tool.exe", "tool.exe", exe_image(0x00004550), kJune2014, 0, 8, 0x81C00020, 0},
      {L"old16.exe", "old16.exe", exe_image(0x0000454E), kJune2014, 0, 8, 0x81C00020, 0},
      {L"fake.exe", "fake.exe", exe_image(0x00004551), kJune2014, 0, 8, 0x81800020, 0},
      {L"winter.txt", "winter.txt", sample_text(10), kJanuary2014, 0, 8, 0x81800020, 0},
      {L"old.txt", "old.txt", sample_text(10), k1970, 0, 8, 0x81800020, 0x00210000},
      {L"future.txt", "future.txt", sample_text(10), k2200, 0, 8, 0x81800020, 0xFF9FBF7D},
  };
  ZipHandle zip = zip_create_file(kept_archive("kinds").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  Manifest manifest;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const Source& s = sources[i];
    fs::path path = dir / ("source" + std::to_string(i));
    make_file(path, s.data, s.mtime);
    // Windows clears the archive bit when attributes are set without it.
    if (s.extra_attributes) {
      SetFileAttributesW(path.c_str(), s.extra_attributes | FILE_ATTRIBUTE_ARCHIVE);
    }
    EXPECT_EQ(zip_add_file(zip, s.name.c_str(), path.c_str()), 0u) << s.stored_name;
    manifest.entries.push_back({.name = std::wstring(s.stored_name.begin(), s.stored_name.end()),
                                .source = relative_source(path),
                                .attributes = s.attributes,
                                .flags = std::uint16_t(s.method == 8 ? 2 : 0),
                                .mtime = s.mtime,
                                .method = s.method});
  }
  // A handle positioned anywhere is read from its start.
  HANDLE notes = CreateFileW((dir / "source1").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  SetFilePointer(notes, 1234, nullptr, FILE_BEGIN);
  EXPECT_EQ(zip_add_handle(zip, L"handle.txt", notes), 0u);
  CloseHandle(notes);
  manifest.entries.push_back({.name = L"handle.txt",
                              .source = relative_source(dir / "source1"),
                              .attributes = 0x81800020,
                              .flags = 2,
                              .mtime = kJune2014,
                              .method = 8});
  // A directory opened as a handle: a directory's mode, no content.
  HANDLE folder = CreateFileW(dir.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(folder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(zip_add_handle(zip, L"folder_handle", folder), 0u);
  CloseHandle(folder);
  manifest.entries.push_back({.name = L"folder_handle",
                              .folder = true,
                              .attributes = 0x41800010,
                              .flags = 2,
                              .method = 8});
  Bytes memory = sample_text(5000);
  EXPECT_EQ(zip_add_memory(zip, L"mem.txt", memory.data(), std::uint32_t(memory.size())), 0u);
  write_file(dir / "mem.txt", memory);
  manifest.entries.push_back({.name = L"mem.txt",
                              .source = relative_source(dir / "mem.txt"),
                              .attributes = 0x80000000,
                              .flags = 2,
                              .method = 8});
  EXPECT_EQ(zip_add_folder(zip, L"docs"), 0u);
  EXPECT_EQ(zip_add_folder(zip, L"docs\\sub\\"), 0u);
  for (const wchar_t* folder : {L"docs/", L"docs/sub/"}) {
    manifest.entries.push_back(
        {.name = folder, .folder = true, .attributes = 0x41C00010, .flags = 0, .method = 0});
  }
  EXPECT_EQ(zip_close(zip), 0u);
  keep_manifest("kinds", manifest);

  Bytes archive = read_file(kept_archive("kinds"));
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), manifest.entries.size());
  expect_contiguous(listing);
  for (const ListedEntry& e : listing.entries) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.version_made_by, 0x0B17);
    EXPECT_EQ(e.version_needed, 20);
    EXPECT_EQ(e.local_version_needed, 20);
    // The local header was patched after the data: bit 3 gone, real values.
    EXPECT_EQ(e.local_flags, e.flags);
    EXPECT_EQ(e.local_crc, e.crc);
    EXPECT_EQ(e.local_compressed, e.compressed_size);
    EXPECT_EQ(e.local_uncompressed, e.uncompressed_size);
    ASSERT_EQ(e.local_extra.size(), 17u);
    ASSERT_EQ(e.central_extra.size(), 9u);
    EXPECT_EQ(Bytes(e.local_extra.begin(), e.local_extra.begin() + 5),
              (Bytes{0x55, 0x54, 13, 0, 7}));
    EXPECT_EQ(Bytes(e.central_extra.begin(), e.central_extra.begin() + 5),
              (Bytes{0x55, 0x54, 5, 0, 7}));
    EXPECT_EQ(le32(e.local_extra, 5), ut_mtime(e));
  }
  auto entries = by_name(listing);
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const Source& s = sources[i];
    const ListedEntry& e = entries[s.stored_name];
    SCOPED_TRACE(s.stored_name);
    EXPECT_EQ(e.method, s.method);
    EXPECT_EQ(e.flags, s.method == 8 ? 0x0002 : 0x0000);
    EXPECT_EQ(e.external_attributes, s.attributes);
    EXPECT_EQ(e.uncompressed_size, s.data.size());
    EXPECT_EQ(ut_mtime(e), std::uint32_t(s.mtime));
    if (s.dos_time) {
      EXPECT_EQ(e.dos_time, s.dos_time);
    }
  }
  const ListedEntry& empty = entries["empty.txt"];
  EXPECT_EQ(empty.crc, 0u);
  EXPECT_EQ(empty.compressed_size, 2u);
  EXPECT_EQ(archive[empty.data_offset], 0x03);
  EXPECT_EQ(archive[empty.data_offset + 1], 0x00);
  EXPECT_EQ(entries["handle.txt"].uncompressed_size, 20000u);
  EXPECT_EQ(entries["handle.txt"].crc, entries["notes.txt"].crc);
  const ListedEntry& docs = entries["docs/"];
  EXPECT_EQ(docs.method, 0);
  EXPECT_EQ(docs.compressed_size, 0u);
  EXPECT_EQ(docs.uncompressed_size, 0u);
  EXPECT_EQ(docs.crc, 0u);
  EXPECT_EQ(docs.external_attributes, 0x41C00010u);
  EXPECT_EQ(entries.count("docs/sub/"), 1u);
  SetFileAttributesW((dir / "source6").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ZipWriter, EncryptedEntriesUseDataDescriptorsAndFreshHeaders) {
  fs::path dir = scenario_dir("encrypted");
  Bytes text = sample_text(30000);
  Bytes packed = pseudo_random(4000, 3);
  make_file(dir / "text.txt", text, kJune2014);
  make_file(dir / "packed.zip", packed, kJune2014);
  ZipHandle zip = zip_create_file(kept_archive("encrypted").c_str(), "secret");
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_file(zip, L"a.txt", (dir / "text.txt").c_str()), 0u);
  EXPECT_EQ(zip_add_file(zip, L"b.txt", (dir / "text.txt").c_str()), 0u);
  EXPECT_EQ(zip_add_file(zip, L"packed.zip", (dir / "packed.zip").c_str()), 0u);
  EXPECT_EQ(zip_add_folder(zip, L"docs"), 0u);
  EXPECT_EQ(zip_close(zip), 0u);
  std::string text_source = relative_source(dir / "text.txt");
  keep_manifest("encrypted", {"secret",
                              {{.name = L"a.txt", .source = text_source, .flags = 9, .method = 8},
                               {.name = L"b.txt", .source = text_source, .flags = 9, .method = 8},
                               {.name = L"packed.zip",
                                .source = relative_source(dir / "packed.zip"),
                                .flags = 9,
                                .method = 0},
                               {.name = L"docs/", .folder = true, .flags = 0, .method = 0}}});

  Bytes archive = read_file(kept_archive("encrypted"));
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 4u);
  expect_contiguous(listing);
  for (int i = 0; i < 3; ++i) {
    const ListedEntry& e = listing.entries[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.flags, 0x0009);
    EXPECT_EQ(e.local_flags, 0x0009);
    EXPECT_EQ(e.local_crc, 0u);
    std::uint64_t descriptor = e.data_offset + e.compressed_size;
    ASSERT_LE(descriptor + 16, archive.size());
    EXPECT_EQ(le32(archive, descriptor), 0x08074B50u);
    EXPECT_EQ(le32(archive, descriptor + 4), e.crc);
    EXPECT_EQ(le32(archive, descriptor + 8), e.compressed_size);
    EXPECT_EQ(le32(archive, descriptor + 12), e.uncompressed_size);
  }
  const ListedEntry& stored = listing.entries[2];
  EXPECT_EQ(stored.compressed_size, packed.size() + 12);
  EXPECT_EQ(stored.local_compressed, packed.size() + 12);  // announced before the data
  EXPECT_EQ(stored.local_uncompressed, packed.size());
  // The same content twice: the random bytes make the encrypted data differ.
  const ListedEntry& a = listing.entries[0];
  const ListedEntry& b = listing.entries[1];
  EXPECT_EQ(a.compressed_size, b.compressed_size);
  EXPECT_NE(Bytes(archive.begin() + a.data_offset, archive.begin() + a.data_offset + 12),
            Bytes(archive.begin() + b.data_offset, archive.begin() + b.data_offset + 12));
  EXPECT_EQ(listing.entries[3].flags, 0x0000);  // folders are not encrypted
}

// Collects what a writer puts into a pipe.
class PipeDrain {
 public:
  PipeDrain() {
    CreatePipe(&read_, &write_, nullptr, 1 << 16);
    thread_ = std::thread([this] {
      std::uint8_t chunk[4096];
      DWORD got = 0;
      while (ReadFile(read_, chunk, sizeof chunk, &got, nullptr) && got) {
        bytes_.insert(bytes_.end(), chunk, chunk + got);
      }
    });
  }
  ~PipeDrain() {
    finish();
    CloseHandle(read_);
  }
  HANDLE writer() const { return write_; }
  const Bytes& finish() {
    if (write_) CloseHandle(write_);
    write_ = nullptr;
    if (thread_.joinable()) thread_.join();
    return bytes_;
  }

 private:
  HANDLE read_ = nullptr;
  HANDLE write_ = nullptr;
  std::thread thread_;
  Bytes bytes_;
};

TEST(ZipWriter, OutputThatCannotSeekGetsDataDescriptors) {
  fs::path dir = scenario_dir("pipe");
  Bytes text = sample_text(40000);
  Bytes packed = pseudo_random(3000, 4);
  write_file(dir / "text.txt", text);
  write_file(dir / "packed.gz", packed);
  PipeDrain drain;
  ZipHandle zip = zip_create_handle(drain.writer(), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_memory(zip, L"text.txt", text.data(), std::uint32_t(text.size())), 0u);
  EXPECT_EQ(zip_add_memory(zip, L"packed.gz", packed.data(), std::uint32_t(packed.size())), 0u);
  EXPECT_EQ(zip_add_folder(zip, L"docs"), 0u);
  EXPECT_EQ(zip_close(zip), 0u);
  Bytes archive = drain.finish();
  keep_archive_bytes(
      "pipe", archive,
      {"",
       {{.name = L"text.txt",
         .source = relative_source(dir / "text.txt"),
         .attributes = 0x80000000,
         .flags = 8,
         .method = 8},
        {.name = L"packed.gz",
         .source = relative_source(dir / "packed.gz"),
         .attributes = 0x80000000,
         .flags = 8,
         .method = 0},
        {.name = L"docs/", .folder = true, .attributes = 0x41C00010, .flags = 8, .method = 0}}});

  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 3u);
  expect_contiguous(listing);
  const ListedEntry& deflated = listing.entries[0];
  EXPECT_EQ(deflated.local_flags, 0x0008);  // the compressor's 0x0002 is dropped
  EXPECT_EQ(deflated.local_crc, 0u);
  EXPECT_EQ(deflated.local_compressed, 0u);
  EXPECT_EQ(deflated.local_uncompressed, text.size());
  const ListedEntry& stored = listing.entries[1];
  EXPECT_EQ(stored.local_compressed, packed.size());
  std::uint64_t descriptor = stored.data_offset + stored.compressed_size;
  EXPECT_EQ(le32(archive, descriptor), 0x08074B50u);
  EXPECT_EQ(le32(archive, descriptor + 4), stored.crc);
  EXPECT_EQ(le32(archive, descriptor + 8), packed.size());
  EXPECT_EQ(le32(archive, descriptor + 12), packed.size());
}

TEST(ZipWriter, AStoredEntryOfUnknownSizeCannotFollowADescriptorIntoAPipe) {
  // Stored data is found by the sizes in its local header; with neither a
  // known size nor a way back to the header, the writer refuses the entry
  // before it writes anything.
  fs::path dir = scenario_dir("pipe_unknown_size");
  Bytes text = sample_text(2000);
  write_file(dir / "text.txt", text);
  PipeDrain drain;
  ZipHandle zip = zip_create_handle(drain.writer(), nullptr);
  ASSERT_NE(zip, nullptr);
  HANDLE read = nullptr, write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 1 << 16));
  DWORD done = 0;
  WriteFile(write, text.data(), DWORD(text.size()), &done, nullptr);
  CloseHandle(write);
  EXPECT_EQ(zip_add_handle(zip, L"piped.gz", read), zip_result::size_changed);
  CloseHandle(read);
  EXPECT_EQ(zip_add_memory(zip, L"text.txt", text.data(), std::uint32_t(text.size())), 0u);
  EXPECT_EQ(zip_close(zip), 0u);
  Bytes archive = drain.finish();
  keep_archive_bytes("pipe_unknown_size", archive,
                     {"",
                      {{.name = L"text.txt",
                        .source = relative_source(dir / "text.txt"),
                        .flags = 8,
                        .method = 8}}});
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 1u);
  expect_contiguous(listing);
}

TEST(ZipWriter, SourcesThatCannotSeekAreReadToTheirEnd) {
  fs::path dir = scenario_dir("piped_sources");
  Bytes text = sample_text(6000);
  write_file(dir / "text.txt", text);
  ZipHandle zip = zip_create_file(kept_archive("piped_sources").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  for (std::uint32_t given : {0u, 6000u}) {
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 1 << 16));
    DWORD done = 0;
    WriteFile(write, text.data(), DWORD(text.size()), &done, nullptr);
    CloseHandle(write);
    std::wstring name = L"piped" + std::to_wstring(given) + L".txt";
    EXPECT_EQ(zip_add_handle_sized(zip, name.c_str(), read, given), 0u);
    CloseHandle(read);
  }
  EXPECT_EQ(zip_close(zip), 0u);
  std::string source = relative_source(dir / "text.txt");
  keep_manifest("piped_sources", {"",
                                  {{.name = L"piped0.txt",
                                    .source = source,
                                    .attributes = 0x80000000,
                                    .flags = 2,
                                    .method = 8},
                                   {.name = L"piped6000.txt",
                                    .source = source,
                                    .attributes = 0x80000000,
                                    .flags = 2,
                                    .method = 8}}});
  Listing listing = list_archive(read_file(kept_archive("piped_sources")));
  ASSERT_EQ(listing.entries.size(), 2u);
  for (const ListedEntry& e : listing.entries) EXPECT_EQ(e.uncompressed_size, text.size());
}

TEST(ZipWriter, AnArchiveBehindOtherBytesCountsOffsetsFromTheFileStart) {
  fs::path dir = scenario_dir("prefixed");
  Bytes text = sample_text(3000);
  write_file(dir / "text.txt", text);
  const std::string stub = "a program that unpacks what follows it";
  HANDLE file = CreateFileW(kept_archive("prefixed").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  WriteFile(file, stub.data(), DWORD(stub.size()), &done, nullptr);
  ZipHandle zip = zip_create_handle(file, nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_memory(zip, L"one.txt", text.data(), std::uint32_t(text.size())), 0u);
  EXPECT_EQ(zip_add_memory(zip, L"two.txt", text.data(), 100), 0u);
  EXPECT_EQ(zip_close(zip), 0u);
  EXPECT_NE(GetFileType(file), FILE_TYPE_UNKNOWN);  // still open: the handle is the caller's
  CloseHandle(file);
  write_file(dir / "head.txt", Bytes(text.begin(), text.begin() + 100));
  keep_manifest(
      "prefixed",
      {"",
       {{.name = L"one.txt", .source = relative_source(dir / "text.txt"), .flags = 2, .method = 8},
        {.name = L"two.txt",
         .source = relative_source(dir / "head.txt"),
         .flags = 2,
         .method = 8}}});

  Bytes archive = read_file(kept_archive("prefixed"));
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 2u);
  EXPECT_EQ(listing.entries[0].local_offset, stub.size());
  EXPECT_EQ(listing.entries[1].local_offset,
            listing.entries[0].data_offset + listing.entries[0].compressed_size);
  EXPECT_EQ(listing.entries[1].local_flags, 0x0002);  // patched in place, behind the stub
  EXPECT_EQ(std::string(archive.begin(), archive.begin() + std::ptrdiff_t(stub.size())), stub);
}

// Two entries in a memory archive of the given capacity; `result` is what
// zip_get_memory answers.
Bytes memory_archive(std::uint32_t capacity, ZipResult& result, const Bytes& content) {
  ZipHandle zip = zip_create_memory(nullptr, capacity, nullptr);
  if (!zip) return {};
  EXPECT_EQ(zip_add_memory(zip, L"one.txt", content.data(), std::uint32_t(content.size())), 0u);
  EXPECT_EQ(zip_add_memory(zip, L"two.gz", content.data(), std::uint32_t(content.size())), 0u);
  void* data = nullptr;
  std::uint32_t length = 0;
  result = zip_get_memory(zip, &data, &length);
  Bytes out(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
  EXPECT_EQ(zip_close(zip), 0u);  // already ended by zip_get_memory
  return out;
}

TEST(ZipWriter, MemoryArchivesNeedOneByteMoreThanTheirSize) {
  fs::path dir = scenario_dir("memory");
  Bytes content = sample_text(9000);
  write_file(dir / "content.txt", content);
  ZipResult result = 1;
  Bytes roomy = memory_archive(1 << 20, result, content);
  ASSERT_EQ(result, 0u);
  std::uint32_t size = std::uint32_t(roomy.size());
  std::string source = relative_source(dir / "content.txt");
  keep_archive_bytes(
      "memory", roomy,
      {"",
       {{.name = L"one.txt", .source = source, .attributes = 0x80000000, .flags = 2, .method = 8},
        {.name = L"two.gz", .source = source, .attributes = 0x80000000, .flags = 0, .method = 0}}});

  Bytes tight = memory_archive(size + 1, result, content);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(tight.size(), size);
  Bytes cramped = memory_archive(size, result, content);
  EXPECT_EQ(result, zip_result::write_file);  // the end record no longer fits
  EXPECT_LT(cramped.size(), size);

  // A caller's buffer is written in place and stays the caller's.
  std::vector<std::uint8_t> buffer(size + 1, 0xEE);
  ZipHandle zip = zip_create_memory(buffer.data(), std::uint32_t(buffer.size()), nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_memory(zip, L"one.txt", content.data(), std::uint32_t(content.size())), 0u);
  void* data = nullptr;
  std::uint32_t length = 0;
  EXPECT_EQ(zip_get_memory(zip, &data, &length), 0u);
  EXPECT_EQ(data, buffer.data());
  EXPECT_EQ(zip_add_memory(zip, L"late.txt", content.data(), 10), zip_result::ended);
  EXPECT_EQ(zip_get_memory(zip, &data, &length), 0u);  // a second call answers the same
  EXPECT_EQ(data, buffer.data());
  EXPECT_EQ(zip_close(zip), 0u);
  EXPECT_EQ(buffer.back(), 0xEE);
}

TEST(ZipWriter, FailuresAnswerTheirCodesAndLeaveTheArchiveUsable) {
  fs::path dir = scenario_dir("codes");
  Bytes text = sample_text(100);
  write_file(dir / "ok.txt", text);
  ZipHandle zip = zip_create_file(kept_archive("codes").c_str(), nullptr);
  ASSERT_NE(zip, nullptr);
  ZipHandleRecord reader{1, nullptr};
  void* data = &reader;
  std::uint32_t length = 99;
  fs::path missing = dir / "missing.txt";

  EXPECT_EQ(zip_get_memory(nullptr, &data, &length), zip_result::bad_arguments);
  EXPECT_EQ(data, nullptr);  // a null handle clears both outputs
  EXPECT_EQ(length, 0u);
  data = &reader;
  length = 99;

  struct Case {
    const char* what;
    ZipResult result;
    ZipResult expected;
  } cases[] = {
      {"add to a null handle", zip_add_folder(nullptr, L"x"), zip_result::bad_arguments},
      {"close a null handle", zip_close(nullptr), zip_result::bad_arguments},
      {"add to a reader's handle", zip_add_folder(&reader, L"x"), zip_result::mixed_mode},
      {"close a reader's handle", zip_close(&reader), zip_result::mixed_mode},
      {"empty name", zip_add_file(zip, L"", (dir / "ok.txt").c_str()), zip_result::bad_arguments},
      {"null name", zip_add_folder(zip, nullptr), zip_result::bad_arguments},
      {"null source path", zip_add_file(zip, L"x.txt", nullptr), zip_result::bad_arguments},
      {"name past the 16-bit length field",
       zip_add_memory(zip, std::wstring(65536, L'n').c_str(), "abc", 3), zip_result::bad_arguments},
      {"missing source", zip_add_file(zip, L"x.txt", missing.c_str()), zip_result::open_file},
      {"good add after a missing source", zip_add_file(zip, L"ok.txt", (dir / "ok.txt").c_str()),
       zip_result::ok},
      {"null memory", zip_add_memory(zip, L"m.txt", nullptr, 4), zip_result::bad_arguments},
      {"memory of length 0", zip_add_memory(zip, L"m.txt", "abc", 0), zip_result::bad_arguments},
      {"invalid source handle", zip_add_handle(zip, L"h.txt", INVALID_HANDLE_VALUE),
       zip_result::bad_arguments},
      {"null source handle", zip_add_handle(zip, L"h.txt", nullptr), zip_result::bad_arguments},
      {"memory of a file archive", zip_get_memory(zip, &data, &length), zip_result::not_memory},
      {"add after the end", zip_add_folder(zip, L"late"), zip_result::ended},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  EXPECT_EQ(zip_last_result, zip_result::ended);
  EXPECT_EQ(data, nullptr);
  EXPECT_GT(length, 0u);  // the outputs are set even for a file archive
  EXPECT_EQ(zip_close(zip), 0u);
  keep_manifest(
      "codes", {"", {{.name = L"ok.txt", .source = relative_source(dir / "ok.txt"), .method = 8}}});
  EXPECT_EQ(list_archive(read_file(kept_archive("codes"))).entries.size(), 1u);

  EXPECT_EQ(zip_create_memory(nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(zip_last_result, zip_result::memory_size);
  EXPECT_EQ(zip_create_file((dir / "no" / "such" / "a.zip").c_str(), nullptr), nullptr);
  EXPECT_EQ(zip_last_result, zip_result::open_file);
  EXPECT_EQ(zip_create_handle(INVALID_HANDLE_VALUE, nullptr), nullptr);
  EXPECT_EQ(zip_last_result, zip_result::bad_arguments);
}

TEST(ZipWriter, AFullMemoryArchiveRefusesLaterAddsButEndsCleanly) {
  Bytes small = sample_text(100);
  Bytes big = pseudo_random(5000, 5);
  ZipHandle zip = zip_create_memory(nullptr, 2000, nullptr);
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip_add_memory(zip, L"small.txt", small.data(), 100), 0u);
  EXPECT_EQ(zip_add_memory(zip, L"big.gz", big.data(), 5000), zip_result::memory_size);
  EXPECT_EQ(zip_add_memory(zip, L"later.txt", small.data(), 100), zip_result::previous_error);
  void* data = nullptr;
  std::uint32_t length = 0;
  EXPECT_EQ(zip_get_memory(zip, &data, &length), 0u);
  Bytes archive(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
  EXPECT_EQ(zip_close(zip), 0u);
  Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 1u);
  expect_contiguous(listing);
  fs::path dir = scenario_dir("memory_full");
  write_file(dir / "small.txt", small);
  keep_archive_bytes(
      "memory_full", archive,
      {"", {{.name = L"small.txt", .source = relative_source(dir / "small.txt"), .method = 8}}});
}

// An entry prepared elsewhere, as a test decides it: how its opening went,
// the pieces of its data and how its reading ended.
struct Preparation {
  ZipResult open_result = zip_result::ok;
  std::uint32_t open_system_error = 0;
  std::vector<Bytes> pieces = {};
  ZipPreparedEnd ending = {};
};

class PreparedEntry final : public ZipPreparedEntry, public Preparation {
 public:
  explicit PreparedEntry(Preparation preparation) : Preparation(std::move(preparation)) {}
  // What the writer did with it.
  std::uint16_t method_asked = 0xFFFF;
  std::size_t pieces_taken = 0;
  int ends = 0;

  ZipResult open(std::uint16_t method, ZipSourceFacts& facts, std::uint32_t& why) override {
    method_asked = method;
    facts.attributes = 0x81800020;
    facts.dos_time = 0x00210000;  // 1980-01-01, the earliest a DOS date holds
    facts.size = 0;
    for (const Bytes& piece : pieces) facts.size += std::int64_t(piece.size());
    why = open_system_error;
    return open_result;
  }
  bool next(const std::uint8_t*& data, std::size_t& size) override {
    if (pieces_taken == pieces.size()) return false;
    data = pieces[pieces_taken].data();
    size = pieces[pieces_taken++].size();
    return true;
  }
  ZipPreparedEnd end() override {
    ++ends;
    return ending;
  }
};

TEST(ZipWriter, APreparedEntryAnswersWhatItsPreparationMetAndLeavesNoBytesOfAFailure) {
  const Bytes first = pseudo_random(3000, 1), second = pseudo_random(5000, 2);
  Bytes whole = first;
  whole.insert(whole.end(), second.begin(), second.end());
  const std::uint32_t crc = archive::crc32_update(0, whole.data(), whole.size());
  const ZipPreparedEnd read_whole{.crc = crc, .bytes_read = whole.size()};

  struct Case {
    const char* name;
    Preparation preparation;
    ZipResult expected;
    std::uint32_t system_error;
    std::uint16_t method;
  };
  const Case cases[] = {
      {"locked.txt",
       {.open_result = zip_result::open_file, .open_system_error = 32},
       zip_result::open_file,
       32,
       8},
      {"stored.gz", {.pieces = {first, second}, .ending = read_whole}, zip_result::ok, 0, 0},
      {"failed_read.gz",
       {.pieces = {first},
        .ending = {.bytes_read = first.size(),
                   .read_result = zip_result::read_file,
                   .system_error = 1117}},
       zip_result::read_file,
       1117,
       0},
      {"failed_check.gz",
       {.pieces = {first}, .ending = {.data_ok = false}},
       zip_result::write_file,
       0,
       0},
      {"again.zip", {.pieces = {whole}, .ending = read_whole}, zip_result::ok, 0, 0},
  };
  ZipHandle zip = zip_create_memory(nullptr, 40000, nullptr);
  ASSERT_NE(zip, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring name(c.name, c.name + std::strlen(c.name));
    PreparedEntry entry(c.preparation);
    EXPECT_EQ(zip_add_prepared(zip, name.c_str(), entry), c.expected);
    EXPECT_EQ(zip_last_system_error(), c.system_error);
    EXPECT_EQ(entry.method_asked, c.method);
    EXPECT_EQ(entry.ends, entry.open_result ? 0 : 1);
  }
  // A write that fails stops the writer asking for more of the data.
  PreparedEntry too_large({.pieces = std::vector<Bytes>(10, pseudo_random(20000, 3))});
  EXPECT_EQ(zip_add_prepared(zip, L"too_large.zip", too_large), zip_result::memory_size);
  EXPECT_LE(too_large.pieces_taken, 2u);
  EXPECT_EQ(too_large.ends, 1);

  void* data = nullptr;
  std::uint32_t length = 0;
  EXPECT_EQ(zip_get_memory(zip, &data, &length), 0u);
  const Bytes archive(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
  EXPECT_EQ(zip_close(zip), 0u);
  const Listing listing = list_archive(archive);
  ASSERT_EQ(listing.entries.size(), 2u);
  expect_contiguous(listing);  // the failed entries left nothing between
  for (const ListedEntry& e : listing.entries) {
    EXPECT_EQ(e.crc, crc);
    EXPECT_EQ(e.uncompressed_size, whole.size());
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), archive.begin() + e.data_offset));
  }
  fs::path dir = scenario_dir("prepared");
  write_file(dir / "whole.bin", whole);
  const std::string source = relative_source(dir / "whole.bin");
  keep_archive_bytes("prepared", archive,
                     {"",
                      {{.name = L"stored.gz", .source = source, .method = 0},
                       {.name = L"again.zip", .source = source, .method = 0}}});
}

TEST(ZipResultText, TextsAndLengths) {
  struct Case {
    ZipResult code;
    const char* text;
  } cases[] = {
      {0x00000000, "Success"},
      {0x00000100, "Culdn't duplicate handle"},
      {0x00000200, "Couldn't create/open file"},
      {0x00000300, "Failed to allocate memory"},
      {0x00000400, "Error writing to file"},
      {0x00000500, "File not found in the zipfile"},
      {0x00000600, "Still more data to unzip"},
      {0x00000700, "Zipfile is corrupt or not a zipfile"},
      {0x00000800, "Error reading file"},
      {0x00010000, "Caller: faulty arguments"},
      {0x00020000, "Caller: can only get memory of a memory zipfile"},
      {0x00030000, "Caller: not enough space allocated for memory zipfile"},
      {0x00040000, "Caller: there was a previous error"},
      {0x00050000, "Caller: additions to the zip have already been ended"},
      {0x00060000, "Zip-bug: the anticipated size turned out wrong"},
      {0x00070000, "Caller: the file had already been partially unzipped"},
      {0x00080000, "Caller: mixing creation and opening of zip"},
      {0x01000000, "Zip-bug: internal initialisation not completed"},
      {0x02000000, "Zip-bug: trying to seek the unseekable"},
      {0x04000000, "Zip-bug: tried to change mind, but not allowed"},
      {0x05000000, "Zip-bug: an internal error during flation"},
      {0x00012345, "unknown zip result code"},
      {0x03000000, "unknown zip result code"},
      {0xFFFFFFFF, "unknown zip result code"},
  };
  for (const Case& c : cases) {
    char buffer[80];
    EXPECT_EQ(zip_result_text(c.code, buffer, sizeof buffer), std::strlen(c.text));
    EXPECT_STREQ(buffer, c.text);
  }
  char small[10];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(zip_result_text(0x400, small, 10), 21u);
  EXPECT_STREQ(small, "Error wri");
  EXPECT_EQ(zip_result_text(0x12345, nullptr, 0), 23u);
  small[0] = 'x';
  EXPECT_EQ(zip_result_text(0x400, small, 0), 21u);
  EXPECT_EQ(small[0], 'x');  // size 0 copies nothing
  EXPECT_EQ(zip_result_text(0x400, small, 1), 21u);
  EXPECT_STREQ(small, "");

  zip_close(nullptr);  // leaves 0x10000 as the last result
  char last[80];
  EXPECT_EQ(zip_result_text(zip_result::last, last, sizeof last), 24u);
  EXPECT_STREQ(last, "Caller: faulty arguments");
}

}  // namespace
