#include "archive/ZipSource.h"

#include <algorithm>
#include <array>
#include <string>

#include "archive/Crc32.h"
#include "archive/DosTime.h"
#include "archive/LongPath.h"
#include "archive/ZipAttributes.h"
#include "archive/ZipOutput.h"

namespace {

std::uint64_t ticks_of(const FILETIME& t) noexcept {
  return std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

// Extractors set a file's time from the DOS fields as local time, so they
// hold the local time of the moment (clamped to what the fields can hold).
std::uint32_t dos_local_time(const FILETIME& utc) noexcept {
  SYSTEMTIME universal, local;
  if (!FileTimeToSystemTime(&utc, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    // Beyond what the calendar calls take: far past the DOS range either way.
    bool late = ticks_of(utc) > (std::uint64_t(1) << 62);
    return archive::dos_date_time({late ? 9999 : 1601, 1, 1, 0, 0, 0});
  }
  return archive::dos_date_time(
      {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

void set_times(ZipSourceFacts& facts, const FILETIME& access, const FILETIME& modification,
               const FILETIME& creation) noexcept {
  facts.atime = archive::unix_seconds_from_file_time(ticks_of(access));
  facts.mtime = archive::unix_seconds_from_file_time(ticks_of(modification));
  facts.ctime = archive::unix_seconds_from_file_time(ticks_of(creation));
  facts.dos_time = dos_local_time(modification);
}

void set_times_now(ZipSourceFacts& facts) noexcept {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  set_times(facts, now, now, now);
}

FILETIME file_time_of(const LARGE_INTEGER& ticks) noexcept {
  return {DWORD(ticks.QuadPart), DWORD(std::uint64_t(ticks.QuadPart) >> 32)};
}

bool is_valid(HANDLE h) noexcept {
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

bool read_at(HANDLE h, std::uint64_t offset, std::uint8_t* buffer, DWORD size) noexcept {
  LARGE_INTEGER to;
  to.QuadPart = LONGLONG(offset);
  if (!SetFilePointerEx(h, to, nullptr, FILE_BEGIN)) return false;
  DWORD total = 0;
  while (total < size) {
    DWORD done = 0;
    if (!zip_file_read(h, buffer + total, size - total, &done) || done == 0) return false;
    total += done;
  }
  return true;
}

bool is_executable(HANDLE h, std::uint64_t size) noexcept {
  // A file too short for the probe is none, and is not read for it: most of
  // an install's smallest files, whose every call counts under Wine.
  if (size < archive::kExeProbeSize) return false;
  std::array<std::uint8_t, archive::kExeProbeSize> head;
  std::uint32_t offset = 0;
  std::array<std::uint8_t, 4> signature;
  if (!read_at(h, 0, head.data(), DWORD(head.size())) ||
      !archive::exe_header_offset(head, size, offset) ||
      !read_at(h, offset, signature.data(), DWORD(signature.size()))) {
    return false;
  }
  return archive::is_exe_signature(std::uint32_t(signature[0]) | std::uint32_t(signature[1]) << 8 |
                                   std::uint32_t(signature[2]) << 16 |
                                   std::uint32_t(signature[3]) << 24);
}

// The facts of a disk file's handle, which is left at the file's start; a
// directory is described as such (and reads as empty).
ZipResult describe_file(HANDLE h, ZipSourceFacts& facts, bool& directory) noexcept {
  // Two plain queries rather than GetFileInformationByHandle, whose volume
  // serial number (never used here) costs Wine a round trip to another
  // process: about half of what an empty file costs the archive.
  FILE_BASIC_INFO basic;
  FILE_STANDARD_INFO standard;
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) ||
      !GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard)) {
    zip_note_system_error();
    return zip_result::open_file;
  }
  const DWORD attributes = basic.FileAttributes;
  std::uint64_t size = std::uint64_t(standard.EndOfFile.QuadPart);
  directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.attributes =
      archive::file_attributes(attributes, directory, !directory && is_executable(h, size));
  facts.size = directory ? 0 : std::int64_t(size);
  set_times(facts, file_time_of(basic.LastAccessTime), file_time_of(basic.LastWriteTime),
            file_time_of(basic.CreationTime));
  if (!directory) {
    LARGE_INTEGER start{};
    SetFilePointerEx(h, start, nullptr, FILE_BEGIN);
  }
  return zip_result::ok;
}

enum class HandleKind { file, stream, directory };

ZipResult describe_handle(HANDLE h, std::uint32_t given_size, ZipSourceFacts& facts,
                          HandleKind& kind) noexcept {
  if (!zip_can_seek(h, nullptr)) {
    kind = HandleKind::stream;
    facts.attributes = archive::kUnixRegularFile;
    facts.size = given_size ? std::int64_t(given_size) : -1;
    set_times_now(facts);
    return zip_result::ok;
  }
  bool directory = false;
  ZipResult r = describe_file(h, facts, directory);
  kind = directory ? HandleKind::directory : HandleKind::file;
  return r;
}

// A directory has no content to read (reading it fails): an empty source.
void use_empty_source(TZip& zip) noexcept {
  static constexpr std::uint8_t kNothing = 0;
  zip.src_handle = INVALID_HANDLE_VALUE;
  zip.src_mem = &kNothing;
  zip.src_mem_len = 0;
  zip.src_mem_pos = 0;
}

ZipResult open_handle(TZip& zip, HANDLE h, std::uint32_t given_size) {
  if (!is_valid(h)) return zip_result::bad_arguments;
  zip.src_handle = h;
  HandleKind kind = HandleKind::file;
  if (ZipResult r = describe_handle(h, given_size, zip.src, kind)) return r;
  if (kind == HandleKind::directory) use_empty_source(zip);
  return zip_result::ok;
}

ZipResult open_file(TZip& zip, const wchar_t* path) {
  if (ZipResult r = zip_open_path(path, zip.owned_src, zip.src)) return r;
  if (zip.owned_src) {
    zip.src_handle = zip.owned_src.get();
  } else {
    use_empty_source(zip);
  }
  return zip_result::ok;
}

}  // namespace

ZipResult zip_open_path(const wchar_t* path, ui::UniqueFileHandle& file, ZipSourceFacts& facts) {
  if (!path) return zip_result::bad_arguments;
  // Sharing everything: a program that keeps its file open for writing or
  // renames it must not keep the file out of the archive.
  file.reset(CreateFileW(zip_long_path(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    zip_note_system_error();
    return zip_result::open_file;
  }
  HandleKind kind = HandleKind::file;
  ZipResult r = describe_handle(file.get(), 0, facts, kind);
  if (r || kind == HandleKind::directory) file.reset();
  return r;
}

std::wstring zip_long_path(const wchar_t* path) {
  std::wstring p(path);
  if (p.size() < MAX_PATH) return p;
  const std::wstring full = archive::FullPath(p);
  return full.empty() ? p : archive::ToSystemPath(full);
}

ZipResult zip_open_source(TZip& zip, const ZipSource& source, std::uint16_t method) {
  zip.src_read = 0;
  zip.src_crc = 0;
  zip.src_error = zip_result::ok;
  switch (source.kind) {
    case ZipSource::Kind::file:
      return open_file(zip, source.path);
    case ZipSource::Kind::handle:
      return open_handle(zip, source.handle, source.given_size);
    case ZipSource::Kind::memory:
      if (!source.data || source.length == 0) return zip_result::bad_arguments;
      zip.src_mem = static_cast<const std::uint8_t*>(source.data);
      zip.src_mem_len = source.length;
      zip.src_mem_pos = 0;
      zip.src.attributes = archive::kUnixRegularFile;
      zip.src.size = source.length;
      set_times_now(zip.src);
      return zip_result::ok;
    case ZipSource::Kind::folder:
      zip.src.attributes = archive::kFolderAttributes;
      zip.src.size = 0;
      set_times_now(zip.src);
      return zip_result::ok;
    case ZipSource::Kind::prepared: {
      zip.src_prepared = source.prepared;
      std::uint32_t why = 0;
      const ZipResult r = source.prepared->open(method, zip.src, why);
      if (r) zip_note_system_error(why);
      return r;
    }
  }
  return zip_result::bad_arguments;
}

void zip_close_source(TZip& zip) noexcept {
  zip.owned_src.reset();
  zip.src_prepared = nullptr;
  zip.src_handle = INVALID_HANDLE_VALUE;
  zip.src_mem = nullptr;
  zip.src_mem_len = 0;
  zip.src_mem_pos = 0;
}

std::uint32_t zip_read_source_bytes(TZip& zip, std::uint8_t* buffer, std::uint32_t size) noexcept {
  std::uint32_t got = 0;
  if (zip.src_mem) {
    got = std::min(size, zip.src_mem_len - zip.src_mem_pos);
    std::copy_n(zip.src_mem + zip.src_mem_pos, got, buffer);
    zip.src_mem_pos += got;
  } else if (zip.src_handle != INVALID_HANDLE_VALUE) {
    if (zip.src_error) return 0;
    DWORD done = 0;
    if (!zip_file_read(zip.src_handle, buffer, size, &done)) {
      // A pipe whose writer has finished reports its end as a broken pipe;
      // anything else is a failure that must not pass for the end.
      DWORD why = GetLastError();
      if (why != ERROR_BROKEN_PIPE && why != ERROR_HANDLE_EOF) {
        zip.src_error = zip_result::read_file;
        zip_note_system_error();
      }
      return 0;
    }
    got = done;
  } else {
    zip.out_error = zip_result::not_initialised;
    return 0;
  }
  zip.src_read += got;
  zip.src_crc = archive::crc32_update(zip.src_crc, buffer, got);
  return got;
}
