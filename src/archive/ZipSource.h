// The source of the entry being added: a file, an open handle, a memory
// block, nothing (a folder), or data prepared elsewhere. Opening one fills the state's src_* fields
// (attributes, size, times); reading feeds the entry's CRC-32 and byte count
// and notices a read that fails before the end.
#pragma once

#include <cstdint>

#include "archive/ZipState.h"

struct ZipSource {
  enum class Kind { file, handle, memory, folder, prepared };
  Kind kind = Kind::folder;
  const wchar_t* path = nullptr;
  HANDLE handle = nullptr;
  std::uint32_t given_size = 0;  // for a handle that cannot seek; 0 unknown
  const void* data = nullptr;
  std::uint32_t length = 0;
  ZipPreparedEntry* prepared = nullptr;
};

// Opens the source of an entry written with method; nothing is written.
// Answers a result code.
ZipResult zip_open_source(TZip& zip, const ZipSource& source, std::uint16_t method);

// Closes an owned source handle and forgets the source.
void zip_close_source(TZip& zip) noexcept;

// Up to size bytes of the source; 0 at its end or after a failed read.
std::uint32_t zip_read_source_bytes(TZip& zip, std::uint8_t* buffer, std::uint32_t size) noexcept;

// Opens a source path as zip_add_file does and reads its facts. Answers 0
// with the file open at its start (or closed when the path names a folder,
// which has nothing to read), or what zip_add_file answers for it.
ZipResult zip_open_path(const wchar_t* path, ui::UniqueFileHandle& file, ZipSourceFacts& facts);

// A path that the file calls accept whatever its length: paths of
// MAX_PATH characters or more get the "\\?\" form.
std::wstring zip_long_path(const wchar_t* path);
