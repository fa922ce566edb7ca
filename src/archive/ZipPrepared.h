// An entry whose data is read, and compressed unless it is stored, away from
// the archive: on other threads, while the writer writes the entries before
// it. zip_add_prepared writes such an entry exactly as zip_add_file writes
// the same file; this is what it needs from whoever prepared it. Portable,
// so that the preparing side builds and is tested without Windows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/ZipResult.h"

// What the writer records of a source before its data.
struct ZipSourceFacts {
  std::uint32_t attributes = 0;                  // external attributes
  std::int64_t atime = 0, mtime = 0, ctime = 0;  // Unix seconds, UTC
  std::uint32_t dos_time = 0;                    // DOS date high, DOS time low
  std::int64_t size = -1;                        // announced; -1 unknown
};

// How an entry's data ended.
struct ZipPreparedEnd {
  std::uint32_t crc = 0;  // CRC-32 of the bytes read
  std::uint64_t bytes_read = 0;
  // A read that failed before the end, or that a stop cut short, and the
  // Windows error code behind it (0: none).
  ZipResult read_result = zip_result::ok;
  std::uint32_t system_error = 0;
  // False when the compressor failed an internal check.
  bool data_ok = true;
  // What compressing adds to the general-purpose flags (the level's bits).
  std::uint16_t level_flags = 0;
};

class ZipPreparedEntry {
 public:
  // Waits until the source is open. Its result: 0 with facts filled, or
  // what opening the file failed with (nothing of the entry is written),
  // with the Windows error code behind it in system_error (0: none).
  // method is the one the writer chose from the entry's name (0 stored, 8
  // deflated); data prepared with another answers bad_arguments.
  virtual ZipResult open(std::uint16_t method, ZipSourceFacts& facts,
                         std::uint32_t& system_error) = 0;
  // The next piece of the entry's data, valid until the next call; false
  // once the data has ended.
  virtual bool next(const std::uint8_t*& data, std::size_t& size) = 0;
  // Once next has answered false, or once the writer has given up on the
  // rest (a failed write): what it answers then does not count, and the
  // preparing side may stop.
  virtual ZipPreparedEnd end() = 0;

 protected:
  ~ZipPreparedEntry() = default;
};
