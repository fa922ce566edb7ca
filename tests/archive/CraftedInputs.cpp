#include "CraftedInputs.h"

#include <algorithm>

#include "DeflateHarness.h"

namespace deflate_test {

std::vector<std::uint8_t> key_shared_across_the_last_slide() {
  constexpr std::size_t kSize = 65276;
  constexpr std::size_t kLast = kSize - 3;
  constexpr std::size_t kEarlier = kLast - 32767;
  std::vector<std::uint8_t> bytes = random_bytes(kSize, 21);
  std::copy_n(bytes.begin() + kLast, 3, bytes.begin() + kEarlier);
  const auto key = [&](std::size_t at) {
    return ((bytes[at] << 10) ^ (bytes[at + 1] << 5) ^ bytes[at + 2]) & 0x7FFF;
  };
  const int shared = key(kLast);
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t at = kEarlier + 1; at < kLast; ++at) {
      if (key(at) != shared) continue;
      const std::size_t byte = std::min(at + 2, kLast - 1);
      bytes[byte] = static_cast<std::uint8_t>(bytes[byte] + 1);
      changed = true;
    }
  }
  return bytes;
}

std::vector<std::uint8_t> three_byte_key_collisions(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes = random_bytes(size, seed);
  // Low five bits from two values, top three free: few keys, many strings.
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>((byte & 0xE0) | (byte & 1 ? 5 : 9));
  return bytes;
}

std::vector<std::uint8_t> four_byte_key_collisions(std::size_t size) {
  // The index keys four bytes (a little-endian word w) as (w * 2654435761)
  // >> 17. The words with key k are inverse * t for t in [k << 17,
  // (k + 1) << 17), the inverse taken modulo 2^32.
  constexpr std::uint32_t kMultiplier = 2654435761u;
  std::uint32_t inverse = 1;
  for (int i = 0; i < 5; ++i) inverse *= 2 - kMultiplier * inverse;  // Newton, 2^32
  constexpr std::uint32_t kKey = 12345;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size + 7);
  for (std::uint32_t t = kKey << 17; bytes.size() < size; ++t) {
    const std::uint32_t word = inverse * t;
    const std::uint8_t b[4] = {
        static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
        static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
    bytes.insert(bytes.end(), {b[0], b[1], b[2], b[0], b[1], b[2], b[3]});
  }
  bytes.resize(size);
  return bytes;
}

std::vector<std::uint8_t> eight_byte_key_collisions(std::size_t size) {
  // As above with the 8-byte index's key, (w * 0x9E3779B97F4A7C15) >> 49
  // of a little-endian 64-bit word w.
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t inverse = 1;
  for (int i = 0; i < 6; ++i) inverse *= 2 - kMultiplier * inverse;  // Newton, 2^64
  constexpr std::uint64_t kKey = 12345;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size + 15);
  for (std::uint64_t t = kKey << 49; bytes.size() < size; ++t) {
    const std::uint64_t word = inverse * t;
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(word >> (8 * i));
    bytes.insert(bytes.end(), b, b + 7);
    bytes.insert(bytes.end(), b, b + 8);
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace deflate_test
