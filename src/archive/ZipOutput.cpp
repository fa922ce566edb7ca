#include "archive/ZipOutput.h"

#include <algorithm>
#include <cstring>

#include "archive/ZipFileLayer.h"

namespace {

constexpr ZipFileLayer kSystemFiles = {ReadFile, WriteFile, SetEndOfFile};
ZipFileLayer g_files = kSystemFiles;

// WriteFile takes a 32-bit count; larger requests go in pieces.
constexpr std::size_t kMaxWriteChunk = 1u << 30;

// Writes below a full chunk of entry data are collected before they go out.
constexpr std::size_t kSmallWrite = kZipBufferSize;

std::size_t write_file(TZip& zip, const std::uint8_t* data, std::size_t size) noexcept {
  std::size_t total = 0;
  const auto moved = [&] { zip.file_pos += total; };
  while (total < size) {
    DWORD chunk = DWORD(std::min(size - total, kMaxWriteChunk));
    DWORD done = 0;
    BOOL whole = g_files.write(zip.out_handle, data + total, chunk, &done, nullptr);
    total += done;
    if (!whole || done == 0) {
      if (!whole) zip_note_system_error();
      if (!zip.out_error) zip.out_error = zip_result::write_file;
      break;
    }
  }
  moved();
  return total;
}

std::size_t write_memory(TZip& zip, const std::uint8_t* data, std::size_t size) noexcept {
  // The last byte of the block is never used: an archive must stay below
  // the capacity it was given.
  if (std::uint64_t(zip.mem_pos) + size >= zip.mem_size) {
    zip.out_error = zip_result::memory_size;
    return 0;
  }
  std::memcpy(zip.mem_data + zip.mem_pos, data, size);
  zip.mem_pos += std::uint32_t(size);
  return size;
}

// Writes shorter than a full chunk wait in `pending` and go out together.
std::size_t write_buffered(TZip& zip, const std::uint8_t* data, std::size_t size) noexcept {
  if (size >= kSmallWrite) {
    if (!zip_flush(zip)) return 0;
    return write_file(zip, data, size);
  }
  if (zip.pending.size() + size > zip.pending.capacity() && !zip_flush(zip)) return 0;
  if (zip.pending.empty()) zip.pending_at = zip.file_pos;
  zip.pending.insert(zip.pending.end(), data, data + size);  // within the capacity reserved
  return size;
}

std::size_t write_plain(TZip& zip, const std::uint8_t* data, std::size_t size) noexcept {
  if (zip.mem_data) return write_memory(zip, data, size);
  if (zip.out_handle != INVALID_HANDLE_VALUE) return write_buffered(zip, data, size);
  zip.out_error = zip_result::not_initialised;
  return 0;
}

}  // namespace

bool zip_flush(TZip& zip) noexcept {
  if (zip.pending.empty()) return true;
  const std::size_t size = zip.pending.size();
  const bool whole = write_file(zip, zip.pending.data(), size) == size;
  zip.pending.clear();
  return whole;
}

bool zip_rewrite_pending(TZip& zip, std::uint64_t position, const void* data,
                         std::size_t size) noexcept {
  if (zip.pending.empty() || position < zip.pending_at ||
      position + size > zip.pending_at + zip.pending.size()) {
    return false;
  }
  std::memcpy(zip.pending.data() + (position - zip.pending_at), data, size);
  return true;
}

void zip_use_file_layer(const ZipFileLayer& layer) noexcept {
  g_files = layer;
}
void zip_use_system_files() noexcept {
  g_files = kSystemFiles;
}

BOOL zip_file_read(HANDLE file, void* buffer, DWORD size, DWORD* done) noexcept {
  return g_files.read(file, buffer, size, done, nullptr);
}

bool zip_can_seek(HANDLE file, LARGE_INTEGER* position) noexcept {
  LARGE_INTEGER zero{};
  return GetFileType(file) == FILE_TYPE_DISK &&
         SetFilePointerEx(file, zero, position, FILE_CURRENT) != 0;
}

std::size_t zip_write(TZip& zip, const void* data, std::size_t size) noexcept {
  auto bytes = static_cast<const std::uint8_t*>(data);
  if (size == 0) return 0;
  if (!zip.encrypting) return write_plain(zip, bytes, size);
  try {
    zip.enc_buf.assign(bytes, bytes + size);
  } catch (...) {
    if (!zip.out_error) zip.out_error = zip_result::alloc_memory;
    return 0;
  }
  zip.keys->encrypt(zip.enc_buf.data(), size);
  return write_plain(zip, zip.enc_buf.data(), size);
}

bool zip_seek(TZip& zip, std::uint64_t position) noexcept {
  if (!zip.can_seek) {
    zip.out_error = zip_result::unseekable;
    return false;
  }
  if (zip.mem_data) {
    if (position >= zip.mem_size) {
      zip.out_error = zip_result::memory_size;
      return false;
    }
    zip.mem_pos = std::uint32_t(position);
    return true;
  }
  if (zip.out_handle != INVALID_HANDLE_VALUE) {
    if (!zip_flush(zip)) return false;
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(zip.base_offset + position);
    if (!SetFilePointerEx(zip.out_handle, to, nullptr, FILE_BEGIN)) {
      zip_note_system_error();
      return false;
    }
    zip.file_pos = position;
    return true;
  }
  zip.out_error = zip_result::not_initialised;
  return false;
}

void zip_cut_back(TZip& zip, std::uint64_t position) noexcept {
  if (!zip.can_seek || position > zip.written) return;
  if (zip.mem_data) {
    std::memset(zip.mem_data + position, 0, std::size_t(zip.written - position));
    zip.mem_pos = std::uint32_t(position);
  } else if (!zip.pending.empty() && position >= zip.pending_at) {
    zip.pending.resize(std::size_t(position - zip.pending_at));  // never written: dropped
  } else {
    const auto seek_to = [&zip](std::uint64_t at) {
      LARGE_INTEGER to;
      to.QuadPart = LONGLONG(zip.base_offset + at);
      if (!SetFilePointerEx(zip.out_handle, to, nullptr, FILE_BEGIN)) {
        zip_note_system_error();
        return false;
      }
      zip.file_pos = at;
      return true;
    };
    if (!seek_to(position) || !g_files.set_end(zip.out_handle)) {
      zip_note_system_error();
      // The bytes stay; what comes next must follow them, where `written`
      // says it is, or every later entry would be recorded at the wrong
      // offset. If even that place cannot be reached, the archive is lost.
      const std::uint64_t resume = zip.pending.empty() ? zip.written : zip.pending_at;
      if ((!seek_to(resume) || !zip_flush(zip)) && !zip.out_error) {
        zip.out_error = zip_result::write_file;
      }
      return;
    }
    zip.pending.clear();  // all of it lay beyond the cut
  }
  zip.written = position;
}
