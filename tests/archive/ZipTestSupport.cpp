#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "archive/ZipFileLayer.h"
#include "ui/UniqueHandle.h"

namespace fs = std::filesystem;

namespace ziptest {
namespace {

fs::path program_dir() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  path.resize(n);
  return fs::path(path).parent_path();
}

// Deletes a folder and everything below it, however deep: the runtime's own
// file calls stop at MAX_PATH, the long-path scenario goes past it.
void remove_tree(const std::wstring& dir) {
  std::wstring base = dir.starts_with(L"\\\\?\\") ? dir : L"\\\\?\\" + dir;
  WIN32_FIND_DATAW found;
  ui::UniqueFindHandle find(FindFirstFileW((base + L"\\*").c_str(), &found));
  if (find) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = base + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find.get(), &found));
  }
  find.reset();  // a folder still listed cannot be removed
  RemoveDirectoryW(base.c_str());
}

// Empties the folder of kept archives before the first test writes to it.
class ArchivesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    remove_tree(archives_dir().wstring());
    fs::create_directories(archives_dir());
  }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ArchivesEnvironment);

std::string json_string(std::wstring_view text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += char(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", unsigned(c));
      out += esc;
    }
  }
  return out + "\"";
}

std::string json_string(const std::string& text) {
  return json_string(std::wstring(text.begin(), text.end()));
}

BOOL WINAPI faulty_read(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED) {
  if (FaultyFiles::read_budget == 0) {
    *done = 0;
    SetLastError(ERROR_READ_FAULT);
    return FALSE;
  }
  DWORD allowed = DWORD(std::min<std::uint64_t>(size, FaultyFiles::read_budget));
  BOOL ok = ReadFile(file, buffer, allowed, done, nullptr);
  FaultyFiles::read_budget -= *done;
  return ok;
}

BOOL WINAPI faulty_write(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED) {
  DWORD allowed = DWORD(std::min<std::uint64_t>(size, FaultyFiles::write_budget));
  *done = 0;
  if (allowed > 0 && !WriteFile(file, buffer, allowed, done, nullptr)) return FALSE;
  FaultyFiles::write_budget -= *done;
  if (*done < size) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI faulty_set_end(HANDLE file) {
  if (!FaultyFiles::refuse_to_shrink) return SetEndOfFile(file);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

void check_signature(const Bytes& b, std::size_t at, std::uint32_t signature) {
  ASSERT_LE(at + 4, b.size());
  ASSERT_EQ(le32(b, at), signature) << "at offset " << at;
}

// Reads [offset, offset + size) of a file.
Bytes read_range(std::ifstream& in, std::uint64_t offset, std::size_t size) {
  Bytes out(size);
  in.clear();
  in.seekg(std::streamoff(offset));
  in.read(reinterpret_cast<char*>(out.data()), std::streamsize(size));
  out.resize(std::size_t(in.gcount()));
  return out;
}

// Finds the 64-bit values of a ZIP64 extra field for the fields at 0xFFFFFFFF.
void apply_zip64(ListedEntry& e) {
  const Bytes& x = e.central_extra;
  for (std::size_t at = 0; at + 4 <= x.size();) {
    std::uint16_t tag = le16(x, at), size = le16(x, at + 2);
    if (tag == 0x0001) {
      std::size_t p = at + 4;
      if (e.uncompressed_size == 0xFFFFFFFF) e.uncompressed_size = le64(x, p), p += 8;
      if (e.compressed_size == 0xFFFFFFFF) e.compressed_size = le64(x, p), p += 8;
      if (e.local_offset == 0xFFFFFFFF) e.local_offset = le64(x, p);
    }
    at += 4 + size;
  }
}

// Parses everything given a way to read ranges of the archive.
template <typename ReadRange>
Listing list_with(std::uint64_t archive_size, ReadRange read) {
  Listing listing;
  std::uint64_t tail_start = archive_size > 22 + 65535 ? archive_size - 22 - 65535 : 0;
  Bytes tail = read(tail_start, std::size_t(archive_size - tail_start));
  std::size_t end = tail.size() >= 22 ? tail.size() - 22 : 0;
  while (end > 0 && le32(tail, end) != 0x06054B50) --end;
  EXPECT_EQ(le32(tail, end), 0x06054B50u) << "no end record";
  listing.end_count16 = le16(tail, end + 10);
  listing.entry_count = listing.end_count16;
  listing.directory_offset = le32(tail, end + 16);
  std::uint64_t end_abs = tail_start + end;
  if (end_abs >= 20) {
    Bytes locator = read(end_abs - 20, 20);
    if (le32(locator, 0) == 0x07064B50) {
      Bytes record = read(le64(locator, 8), 56);
      EXPECT_EQ(le32(record, 0), 0x06064B50u);
      listing.zip64_end = true;
      listing.entry_count = le64(record, 32);
      listing.directory_offset = le64(record, 48);
    }
  }
  std::uint64_t directory_size = end_abs - listing.directory_offset;
  Bytes dir = read(listing.directory_offset, std::size_t(directory_size));
  std::size_t at = 0;
  for (std::uint64_t i = 0; i < listing.entry_count; ++i) {
    check_signature(dir, at, 0x02014B50);
    ListedEntry e{};
    e.version_made_by = le16(dir, at + 4);
    e.version_needed = le16(dir, at + 6);
    e.flags = le16(dir, at + 8);
    e.method = le16(dir, at + 10);
    e.dos_time = le32(dir, at + 12);
    e.crc = le32(dir, at + 16);
    e.compressed_size = le32(dir, at + 20);
    e.uncompressed_size = le32(dir, at + 24);
    std::uint16_t name_len = le16(dir, at + 28), extra_len = le16(dir, at + 30),
                  comment_len = le16(dir, at + 32);
    e.external_attributes = le32(dir, at + 38);
    e.local_offset = le32(dir, at + 42);
    if (at + 46 + name_len + extra_len > dir.size()) {
      ADD_FAILURE() << "central header " << i << " runs past the directory";
      break;
    }
    e.name.assign(dir.begin() + at + 46, dir.begin() + at + 46 + name_len);
    e.central_extra.assign(dir.begin() + at + 46 + name_len,
                           dir.begin() + at + 46 + name_len + extra_len);
    apply_zip64(e);
    at += 46 + name_len + extra_len + comment_len;

    Bytes local = read(e.local_offset, 30);
    check_signature(local, 0, 0x04034B50);
    e.local_version_needed = le16(local, 4);
    e.local_flags = le16(local, 6);
    e.local_crc = le32(local, 14);
    e.local_compressed = le32(local, 18);
    e.local_uncompressed = le32(local, 22);
    std::uint16_t local_name = le16(local, 26), local_extra = le16(local, 28);
    Bytes rest = read(e.local_offset + 30, local_name + local_extra);
    if (rest.size() < std::size_t(local_name + local_extra)) {
      ADD_FAILURE() << "local header of " << e.name << " runs past the archive";
      break;
    }
    EXPECT_EQ(std::string(rest.begin(), rest.begin() + local_name), e.name);
    e.local_extra.assign(rest.begin() + local_name, rest.end());
    e.data_offset = e.local_offset + 30 + local_name + local_extra;
    listing.entries.push_back(std::move(e));
  }
  return listing;
}

}  // namespace

fs::path archives_dir() {
  return program_dir() / L"zip-archives";
}

fs::path scenario_dir(const std::string& scenario) {
  fs::path dir = archives_dir() / (scenario + ".src");
  remove_tree(dir.wstring());
  fs::create_directories(dir);
  return dir;
}

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_file(const fs::path& path, const Bytes& data) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes text_bytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

Bytes pseudo_random(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = std::uint8_t(rng());
  return out;
}

// Reading past the end answers 0, which no signature or size check accepts.
std::uint16_t le16(const Bytes& b, std::size_t at) {
  return at + 2 <= b.size() ? std::uint16_t(b[at] | b[at + 1] << 8) : 0;
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}
std::uint64_t le64(const Bytes& b, std::size_t at) {
  return std::uint64_t(le32(b, at)) | std::uint64_t(le32(b, at + 4)) << 32;
}

Listing list_archive(const Bytes& archive) {
  return list_with(archive.size(), [&archive](std::uint64_t offset, std::size_t size) {
    if (offset > archive.size()) return Bytes{};
    std::size_t n = std::min<std::size_t>(size, archive.size() - std::size_t(offset));
    return Bytes(archive.begin() + std::ptrdiff_t(offset),
                 archive.begin() + std::ptrdiff_t(offset + n));
  });
}

Listing list_archive_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return list_with(fs::file_size(path), [&in](std::uint64_t offset, std::size_t size) {
    return read_range(in, offset, size);
  });
}

void expect_contiguous(const Listing& listing) {
  std::uint64_t expected = 0;
  for (const ListedEntry& e : listing.entries) {
    EXPECT_EQ(e.local_offset, expected) << e.name << " does not follow the entry before it";
    std::uint64_t descriptor =
        (e.flags & 0x0008) ? (e.local_compressed == 0xFFFFFFFF ? 24 : 16) : 0;
    expected = e.data_offset + e.compressed_size + descriptor;
  }
  EXPECT_EQ(listing.directory_offset, expected) << "bytes between the last entry and the directory";
}

std::string relative_source(const fs::path& path) {
  return fs::relative(path, archives_dir()).generic_string();
}

fs::path kept_archive(const std::string& name) {
  return archives_dir() / (name + ".zip");
}

void keep_manifest(const std::string& name, const Manifest& manifest) {
  std::ostringstream j;
  j << "{\"password\": " << json_string(manifest.password) << ", \"entries\": [";
  bool first = true;
  for (const ExpectedEntry& e : manifest.entries) {
    j << (first ? "\n" : ",\n") << "  {\"name\": " << json_string(e.name)
      << ", \"source\": " << json_string(e.source) << ", \"zeros\": " << e.zeros
      << ", \"folder\": " << (e.folder ? "true" : "false") << ", \"method\": " << e.method;
    if (e.attributes) j << ", \"attributes\": " << *e.attributes;
    if (e.flags) j << ", \"flags\": " << *e.flags;
    if (e.mtime) j << ", \"mtime\": " << *e.mtime;
    j << "}";
    first = false;
  }
  j << "\n]}\n";
  std::string text = j.str();
  write_file(archives_dir() / (name + ".json"), Bytes(text.begin(), text.end()));
}

void keep_archive_bytes(const std::string& name, const Bytes& archive, const Manifest& manifest) {
  write_file(kept_archive(name), archive);
  keep_manifest(name, manifest);
}

FaultyFiles::FaultyFiles() {
  read_budget = UINT64_MAX;
  write_budget = UINT64_MAX;
  refuse_to_shrink = false;
  zip_use_file_layer({faulty_read, faulty_write, faulty_set_end});
}

FaultyFiles::~FaultyFiles() {
  zip_use_system_files();
}

}  // namespace ziptest
