// The writer state behind a ZipHandle: the output, the entries written so
// far, and the source and counters of the entry being added. One per
// archive; the create operations make it and zip_close destroys it. Private
// to the writer (the benchmark reports its size).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/Deflate.h"
#include "archive/ZipCrypto.h"
#include "archive/ZipPrepared.h"
#include "archive/ZipRecords.h"
#include "archive/ZipWriter.h"
#include "ui/UniqueHandle.h"

// Chunk buffer of stored entries and output buffer of the compressor.
inline constexpr std::uint32_t kZipBufferSize = 16384;

// Records GetLastError() as the reason of the operation under way, unless
// an earlier failure of the same operation was recorded (the first failure
// is the cause; what follows is cleaning up after it).
void zip_note_system_error() noexcept;
// The same for a failure met on another thread, whose code came with it.
void zip_note_system_error(std::uint32_t code) noexcept;
// Forgets the reason recorded on this thread: an operation starts without one.
void zip_clear_system_error() noexcept;

struct TZip {
  std::string password;  // empty: no encryption
  HANDLE out_handle = INVALID_HANDLE_VALUE;
  ui::UniqueFileHandle owned_out;           // set when the writer opened out_handle
  std::unique_ptr<std::uint8_t[]> out_map;  // a memory archive's own zero-filled block
  std::uint64_t base_offset = 0;            // where the archive starts in out_handle
  ZipResult out_error = zip_result::ok;     // sticky
  std::uint64_t written = 0;                // archive bytes so far, from base_offset
  std::uint64_t file_pos = 0;               // where out_handle stands, from base_offset
  // Small writes to a file wait here and go out together: a small entry's
  // local header, data and patched header become one write, and many
  // central headers one more. Reserved when the archive is created.
  std::vector<std::uint8_t> pending;
  std::uint64_t pending_at = 0;  // archive offset of pending's first byte
  bool can_seek = false;
  std::uint8_t* mem_data = nullptr;
  std::uint32_t mem_pos = 0;
  std::uint32_t mem_size = 0;
  bool ended = false;
  bool encrypting = false;  // only while an encrypted entry's data is written
  std::optional<archive::ZipCipher> keys;
  std::vector<std::uint8_t> enc_buf;
  std::vector<archive::ZipEntry> entries;
  std::unique_ptr<TState> compressor;  // made at the first deflated entry

  // The entry being added.
  std::optional<std::uint64_t> entry_start;  // set once its local header is on its way out
  ZipSourceFacts src;
  std::uint64_t src_read = 0;
  std::uint32_t src_crc = 0;
  ZipResult src_error = zip_result::ok;  // a read that failed before the end
  HANDLE src_handle = INVALID_HANDLE_VALUE;
  ui::UniqueFileHandle owned_src;
  ZipPreparedEntry* src_prepared = nullptr;  // data read and compressed elsewhere
  const std::uint8_t* src_mem = nullptr;
  std::uint32_t src_mem_len = 0;
  std::uint32_t src_mem_pos = 0;
  std::uint64_t data_size = 0;  // entry data written, without an encryption header

  std::array<std::uint8_t, kZipBufferSize> buffer;
};
