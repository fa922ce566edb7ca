#include "archive/ZipAttributes.h"

namespace archive {
namespace {

constexpr std::uint64_t kMinExeSize = 40;        // anything shorter cannot hold a DOS header
constexpr std::size_t kNewHeaderField = 0x3C;    // offset of the new header's offset
constexpr std::uint64_t kNewHeaderMinSize = 52;  // the part of the header the test trusts

}  // namespace

std::uint32_t file_attributes(std::uint32_t dos_bits, bool directory, bool executable) noexcept {
  std::uint32_t a =
      (dos_bits & kDosKeptBits) | (directory ? kUnixDirectory : kUnixRegularFile) | kUnixOwnerRead;
  if (!(dos_bits & kDosReadOnly)) a |= kUnixOwnerWrite;
  if (executable) a |= kUnixOwnerExecute;
  return a;
}

bool exe_header_offset(std::span<const std::uint8_t> head, std::uint64_t file_size,
                       std::uint32_t& offset) noexcept {
  if (file_size <= kMinExeSize || head.size() < kNewHeaderField + 4) return false;
  if (head[0] != 'M' || head[1] != 'Z') return false;
  offset = std::uint32_t(head[kNewHeaderField]) | std::uint32_t(head[kNewHeaderField + 1]) << 8 |
           std::uint32_t(head[kNewHeaderField + 2]) << 16 |
           std::uint32_t(head[kNewHeaderField + 3]) << 24;
  return std::uint64_t(offset) + kNewHeaderMinSize < file_size;
}

bool is_exe_signature(std::uint32_t value) noexcept {
  return value == 0x00005A4D || value == 0x0000454E || value == 0x0000454C || value == 0x00004550;
}

}  // namespace archive
