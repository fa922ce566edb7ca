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

namespace {

// Units of a word whose multiplicative key, (w * multiplier) >> (bits - 15)
// for a little-endian word w, is the same every time, each unit led by a
// copy of the word's first `shared` bytes. The words with key k are
// inverse * t for t in [k << (bits - 15), (k + 1) << (bits - 15)), the
// inverse taken modulo 2^bits.
template <typename Word>
std::vector<std::uint8_t> units_with_one_key(std::size_t size, Word multiplier,
                                             std::size_t shared) {
  constexpr int kBits = 8 * sizeof(Word);
  Word inverse = 1;
  for (int i = 0; i < 6; ++i) inverse *= 2 - multiplier * inverse;  // Newton, 2^bits
  constexpr Word kKey = 12345;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size + 2 * sizeof(Word));
  for (Word t = kKey << (kBits - 15); bytes.size() < size; ++t) {
    const Word word = inverse * t;
    std::uint8_t b[sizeof(Word)];
    for (std::size_t i = 0; i < sizeof(Word); ++i)
      b[i] = static_cast<std::uint8_t>(word >> (8 * i));
    bytes.insert(bytes.end(), b, b + shared);
    bytes.insert(bytes.end(), b, b + sizeof(Word));
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> four_byte_key_collisions(std::size_t size) {
  return units_with_one_key<std::uint32_t>(size, kKey4Multiplier, 3);
}

std::vector<std::uint8_t> eight_byte_key_collisions(std::size_t size) {
  return units_with_one_key<std::uint64_t>(size, kKey8Multiplier, 7);
}

}  // namespace deflate_test
