#include "archive/Crc32.h"

namespace archive {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320;  // reflected form of 0x04C11DB7

// Eight tables let the update consume eight bytes per step ("slicing by
// eight"): table k gives the CRC of a byte followed by k zero bytes, so the
// eight lookups of one step are independent and overlap in the CPU.
constexpr int kSlices = 8;
using SliceTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

constexpr SliceTables make_tables() {
  SliceTables t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (std::uint32_t n = 0; n < 256; ++n) {
    for (int s = 1; s < kSlices; ++s) t[s][n] = t[0][t[s - 1][n] & 0xFF] ^ (t[s - 1][n] >> 8);
  }
  return t;
}

constexpr SliceTables kTables = make_tables();

std::uint32_t load_le32(const unsigned char* p) noexcept {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

}  // namespace

const std::array<std::uint32_t, 256>& crc32_table() noexcept {
  return kTables[0];
}

std::uint32_t crc32_update(std::uint32_t crc, const void* data, std::size_t size) noexcept {
  auto p = static_cast<const unsigned char*>(data);
  std::uint32_t c = ~crc;
  while (size >= 8) {
    std::uint32_t lo = load_le32(p) ^ c;
    std::uint32_t hi = load_le32(p + 4);
    c = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
        kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
        kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
    p += 8;
    size -= 8;
  }
  while (size-- > 0) c = kTables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return ~c;
}

}  // namespace archive
