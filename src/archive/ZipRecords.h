// The records of a zip archive as bytes: local header, data descriptor,
// central header and end records, all little-endian. Entries and archives
// within 32-bit sizes, offsets and 16-bit counts get the classic records;
// past those limits the ZIP64 extra field, end record and locator carry the
// values that would otherwise wrap.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace archive {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint16_t kVersionMadeBy = 0x0B17;   // host 11, format version 2.3
inline constexpr std::uint16_t kVersionNeeded = 20;       // deflate, folders, encryption
inline constexpr std::uint16_t kVersionNeededZip64 = 45;  // the first version with ZIP64

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;  // sizes follow the data
inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;        // name is UTF-8

inline constexpr std::uint32_t kLocalHeaderSize = 30;
inline constexpr std::uint32_t kCentralHeaderSize = 46;
inline constexpr std::uint32_t kEndRecordSize = 22;
inline constexpr std::uint32_t kEncryptionHeaderSize = 12;
inline constexpr std::uint32_t kLocalExtraSize = 17;   // extended timestamp, three times
inline constexpr std::uint32_t kCentralExtraSize = 9;  // extended timestamp, modification only

// The largest value a 32-bit field holds as itself; it and everything above
// are written as 0xFFFFFFFF with the real value in the ZIP64 extra field.
inline constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
inline constexpr std::uint64_t kMaxEntries16 = 0xFFFF;

struct ZipEntry {
  std::uint16_t version_made_by = kVersionMadeBy;
  std::uint16_t version_needed = kVersionNeeded;
  std::uint16_t flags = 0;  // general purpose flags of the central header
  std::uint16_t method = kMethodDeflated;
  std::uint32_t dos_time = 0;  // DOS date high, DOS time low
  std::uint32_t crc = 0;
  std::uint64_t compressed_size = 0;  // includes an encryption header
  std::uint64_t uncompressed_size = 0;
  std::uint16_t disk_start = 0;
  std::uint16_t internal_attributes = 0;
  std::uint16_t local_flags = 0;  // general purpose flags of the local header
  std::uint32_t external_attributes = 0;
  std::uint64_t local_offset = 0;
  std::array<std::uint8_t, kLocalExtraSize> extra{};
  std::array<std::uint8_t, kCentralExtraSize> central_extra{};
  std::string name;  // UTF-8
  // The local header holds a ZIP64 extra field with both sizes, so that an
  // entry that may reach 4 GiB can be patched or described without wrapping.
  bool local_zip64 = false;
};

// Fills both extended timestamps from Unix seconds (their low 32 bits).
void set_timestamps(ZipEntry& entry, std::int64_t mtime, std::int64_t atime, std::int64_t ctime);

void append_local_header(Bytes& out, const ZipEntry& entry);
std::uint32_t local_header_size(const ZipEntry& entry);

void append_data_descriptor(Bytes& out, const ZipEntry& entry);

void append_central_header(Bytes& out, const ZipEntry& entry);

// The end of the archive: the ZIP64 end record and its locator when a count,
// size or offset does not fit the classic end record, then the end record.
// Offsets are absolute, as they appear in the headers.
void append_end_records(Bytes& out, std::uint64_t entry_count, std::uint64_t directory_size,
                        std::uint64_t directory_offset);

}  // namespace archive
