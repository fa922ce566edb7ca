#include "archive/ZipRecords.h"

#include <algorithm>

namespace archive {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;         // "PK\3\4"
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;    // "PK\7\8"
constexpr std::uint32_t kCentralSignature = 0x02014B50;       // "PK\1\2"
constexpr std::uint32_t kEndSignature = 0x06054B50;           // "PK\5\6"
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;      // "PK\6\6"
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;  // "PK\6\7"

constexpr std::uint16_t kTimestampTag = 0x5455;    // "UT"
constexpr std::uint8_t kTimestampAllThree = 0x07;  // modification, access, creation
constexpr std::uint16_t kZip64Tag = 0x0001;
constexpr std::uint16_t kZip64LocalDataSize = 16;  // both sizes, 8 bytes each
constexpr std::uint64_t kZip64EndRecordRest = 44;  // bytes after the size field
constexpr std::uint16_t kZip64VersionMadeBy = 0x0B00 | kVersionNeededZip64;

void put16(Bytes& out, std::uint16_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void put64(Bytes& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
template <std::size_t N>
void put_le32_at(std::array<std::uint8_t, N>& a, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) a[at + i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t field32(std::uint64_t v) {
  return v >= kMax32 ? std::uint32_t(kMax32) : std::uint32_t(v);
}

// The fields of a central header that overflow, in the order the ZIP64
// extra field lists them.
struct CentralZip64 {
  bool uncompressed;
  bool compressed;
  bool offset;
  std::uint16_t data_size() const {
    return std::uint16_t(8 * (uncompressed + compressed + offset));
  }
};

CentralZip64 central_zip64(const ZipEntry& e) {
  return {e.uncompressed_size >= kMax32, e.compressed_size >= kMax32, e.local_offset >= kMax32};
}

}  // namespace

void set_timestamps(ZipEntry& entry, std::int64_t mtime, std::int64_t atime, std::int64_t ctime) {
  constexpr std::uint8_t tag_lo = std::uint8_t(kTimestampTag), tag_hi = kTimestampTag >> 8;
  entry.extra = {tag_lo, tag_hi, kLocalExtraSize - 4, 0, kTimestampAllThree};
  put_le32_at(entry.extra, 5, std::uint32_t(mtime));
  put_le32_at(entry.extra, 9, std::uint32_t(atime));
  put_le32_at(entry.extra, 13, std::uint32_t(ctime));
  entry.central_extra = {tag_lo, tag_hi, kCentralExtraSize - 4, 0, kTimestampAllThree};
  put_le32_at(entry.central_extra, 5, std::uint32_t(mtime));
}

std::uint32_t local_header_size(const ZipEntry& entry) {
  std::uint32_t zip64 = entry.local_zip64 ? 4 + kZip64LocalDataSize : 0;
  return kLocalHeaderSize + std::uint32_t(entry.name.size()) + zip64 + kLocalExtraSize;
}

void append_local_header(Bytes& out, const ZipEntry& e) {
  put32(out, kLocalSignature);
  put16(out, e.version_needed);
  put16(out, e.local_flags);
  put16(out, e.method);
  put16(out, std::uint16_t(e.dos_time));
  put16(out, std::uint16_t(e.dos_time >> 16));
  put32(out, e.crc);
  if (e.local_zip64) {
    put32(out, std::uint32_t(kMax32));
    put32(out, std::uint32_t(kMax32));
  } else {
    put32(out, std::uint32_t(e.compressed_size));
    put32(out, std::uint32_t(e.uncompressed_size));
  }
  put16(out, std::uint16_t(e.name.size()));
  put16(out, std::uint16_t(local_header_size(e) - kLocalHeaderSize - e.name.size()));
  out.insert(out.end(), e.name.begin(), e.name.end());
  if (e.local_zip64) {
    put16(out, kZip64Tag);
    put16(out, kZip64LocalDataSize);
    put64(out, e.uncompressed_size);
    put64(out, e.compressed_size);
  }
  out.insert(out.end(), e.extra.begin(), e.extra.end());
}

void append_data_descriptor(Bytes& out, const ZipEntry& e) {
  put32(out, kDescriptorSignature);
  put32(out, e.crc);
  if (e.local_zip64) {
    put64(out, e.compressed_size);
    put64(out, e.uncompressed_size);
  } else {
    put32(out, std::uint32_t(e.compressed_size));
    put32(out, std::uint32_t(e.uncompressed_size));
  }
}

void append_central_header(Bytes& out, const ZipEntry& e) {
  CentralZip64 z = central_zip64(e);
  std::uint16_t zip64_size = z.data_size() ? std::uint16_t(4 + z.data_size()) : 0;
  put32(out, kCentralSignature);
  put16(out, e.version_made_by);
  put16(out, e.version_needed);
  put16(out, e.flags);
  put16(out, e.method);
  put16(out, std::uint16_t(e.dos_time));
  put16(out, std::uint16_t(e.dos_time >> 16));
  put32(out, e.crc);
  put32(out, field32(e.compressed_size));
  put32(out, field32(e.uncompressed_size));
  put16(out, std::uint16_t(e.name.size()));
  put16(out, std::uint16_t(zip64_size + kCentralExtraSize));
  put16(out, 0);  // no comment
  put16(out, e.disk_start);
  put16(out, e.internal_attributes);
  put32(out, e.external_attributes);
  put32(out, field32(e.local_offset));
  out.insert(out.end(), e.name.begin(), e.name.end());
  if (zip64_size) {
    put16(out, kZip64Tag);
    put16(out, z.data_size());
    if (z.uncompressed) put64(out, e.uncompressed_size);
    if (z.compressed) put64(out, e.compressed_size);
    if (z.offset) put64(out, e.local_offset);
  }
  out.insert(out.end(), e.central_extra.begin(), e.central_extra.end());
}

void append_end_records(Bytes& out, std::uint64_t entry_count, std::uint64_t directory_size,
                        std::uint64_t directory_offset) {
  bool zip64 =
      entry_count > kMaxEntries16 || directory_size >= kMax32 || directory_offset >= kMax32;
  if (zip64) {
    std::uint64_t record_offset = directory_offset + directory_size;
    put32(out, kZip64EndSignature);
    put64(out, kZip64EndRecordRest);
    put16(out, kZip64VersionMadeBy);
    put16(out, kVersionNeededZip64);
    put32(out, 0);  // this disk
    put32(out, 0);  // disk where the central directory starts
    put64(out, entry_count);
    put64(out, entry_count);
    put64(out, directory_size);
    put64(out, directory_offset);
    put32(out, kZip64LocatorSignature);
    put32(out, 0);  // disk of the ZIP64 end record
    put64(out, record_offset);
    put32(out, 1);  // total disks
  }
  std::uint16_t count16 = std::uint16_t(std::min(entry_count, kMaxEntries16));
  put32(out, kEndSignature);
  put16(out, 0);
  put16(out, 0);
  put16(out, count16);
  put16(out, count16);
  put32(out, field32(directory_size));
  put32(out, field32(directory_offset));
  put16(out, 0);  // no comment
}

}  // namespace archive
