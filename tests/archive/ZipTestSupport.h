// Shared by the zip writer's tests: a folder beside the test program where
// every archive a test writes is kept, with a manifest of what it should
// hold, for the Linux-side readers that run after the tests (7-Zip,
// libarchive, Python's zipfile); a small reader of our own for byte-level
// checks; and a replaceable file layer that fails reads or writes on demand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ziptest {

using Bytes = std::vector<std::uint8_t>;

// <folder of the test program>\zip-archives, emptied once per run.
std::filesystem::path archives_dir();
// A fresh folder for one scenario's source files, inside archives_dir().
std::filesystem::path scenario_dir(const std::string& scenario);

Bytes read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const Bytes& data);
Bytes text_bytes(const std::string& text);
Bytes pseudo_random(std::size_t size, std::uint32_t seed);

std::uint16_t le16(const Bytes& b, std::size_t at);
std::uint32_t le32(const Bytes& b, std::size_t at);
std::uint64_t le64(const Bytes& b, std::size_t at);

// One entry as the central directory and its local header describe it.
struct ListedEntry {
  std::uint16_t version_made_by, version_needed, flags, method;
  std::uint32_t dos_time, crc;
  std::uint64_t compressed_size, uncompressed_size, local_offset;
  std::uint32_t external_attributes;
  std::string name;
  Bytes central_extra;
  // The local header.
  std::uint16_t local_flags, local_version_needed;
  std::uint32_t local_crc, local_compressed, local_uncompressed;
  Bytes local_extra;
  std::uint64_t data_offset;  // first byte after the local header
};

struct Listing {
  std::vector<ListedEntry> entries;
  std::uint64_t directory_offset = 0;
  std::uint64_t entry_count = 0;
  bool zip64_end = false;
  std::uint16_t end_count16 = 0;
};

// Reads the central directory (following a ZIP64 end record when there is
// one) and each entry's local header. Fails the current test on a record
// it cannot find.
Listing list_archive(const Bytes& archive);
// The same for an archive file too large to load: reads only the records.
Listing list_archive_file(const std::filesystem::path& path);

// Every byte of the archive belongs to a listed entry or the directory:
// each local header follows the entry before it.
void expect_contiguous(const Listing& listing);

// What the readers on the Linux side must find in one kept archive.
struct ExpectedEntry {
  std::wstring name{};      // as stored, with "/"
  std::string source{};     // file with the content, relative to archives_dir(); "" none
  std::uint64_t zeros = 0;  // content is this many zero bytes (a sparse source)
  bool folder = false;
  std::optional<std::uint32_t> attributes{};
  std::optional<std::uint16_t> flags{};
  std::optional<std::int64_t> mtime{};  // Unix seconds of the source's modification
  int method = -1;
};

struct Manifest {
  std::string password;
  std::vector<ExpectedEntry> entries;
};

// Writes <archives_dir>\<name>.json beside the kept archive <name>.zip.
void keep_manifest(const std::string& name, const Manifest& manifest);
std::filesystem::path kept_archive(const std::string& name);
// Saves a memory archive as a kept archive.
void keep_archive_bytes(const std::string& name, const Bytes& archive, const Manifest& manifest);

// Relative path of a source inside archives_dir(), with "/" separators.
std::string relative_source(const std::filesystem::path& path);

// The file layer under test control: reads fail once read_budget bytes have
// been read, writes once write_budget bytes have been written.
struct FaultyFiles {
  FaultyFiles();
  ~FaultyFiles();
  FaultyFiles(const FaultyFiles&) = delete;
  FaultyFiles& operator=(const FaultyFiles&) = delete;
  static inline std::uint64_t read_budget = UINT64_MAX;
  static inline std::uint64_t write_budget = UINT64_MAX;
  static inline bool refuse_to_shrink = false;  // cutting the archive back fails
};

}  // namespace ziptest
