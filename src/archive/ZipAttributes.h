// External attributes of zip entries: the DOS attribute bits in the low byte
// and a Unix mode in the high 16 bits, so that extractors on either kind of
// system restore read-only files, folders and executables as such.
#pragma once

#include <cstdint>
#include <span>

namespace archive {

// DOS attribute bits that an entry keeps: read-only, hidden, system,
// directory, archive. Other platform bits mean nothing to an extractor.
inline constexpr std::uint32_t kDosReadOnly = 0x01;
inline constexpr std::uint32_t kDosKeptBits = 0x37;

inline constexpr std::uint32_t kUnixRegularFile = 0x80000000;   // S_IFREG << 16
inline constexpr std::uint32_t kUnixDirectory = 0x40000000;     // S_IFDIR << 16
inline constexpr std::uint32_t kUnixOwnerRead = 0x01000000;     // 0400 << 16
inline constexpr std::uint32_t kUnixOwnerWrite = 0x00800000;    // 0200 << 16
inline constexpr std::uint32_t kUnixOwnerExecute = 0x00400000;  // 0100 << 16

// A folder entry: directory, owner read, write and execute, DOS directory bit.
inline constexpr std::uint32_t kFolderAttributes = 0x41C00010;

// Attributes of a file (or a directory opened as a handle) from its DOS bits.
std::uint32_t file_attributes(std::uint32_t dos_bits, bool directory, bool executable) noexcept;

// The executable test reads the first kExeProbeSize bytes, and then the
// signature at the offset they name.
inline constexpr std::size_t kExeProbeSize = 0x40;

// Whether the first bytes of a file of the given size make it a candidate:
// longer than 40 bytes, "MZ" first, and the offset stored at 0x3C plus 52
// still inside the file. Gives that offset, where the new header starts.
bool exe_header_offset(std::span<const std::uint8_t> head, std::uint64_t file_size,
                       std::uint32_t& offset) noexcept;

// Whether the 32-bit value at that offset names an executable format:
// "MZ", "NE", "LE" or "PE" followed by two zero bytes.
bool is_exe_signature(std::uint32_t value) noexcept;

}  // namespace archive
