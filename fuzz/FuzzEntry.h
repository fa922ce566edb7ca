// How the compressor's fuzzers read their input, so that one seed corpus
// means the same entries to each of them.
//
// Byte 0 picks the level; byte 1 how the input ends (bit 0) and how often the
// rest repeats (bits 1-3: 1 to 128 times, each copy marked by its number in
// its first byte), so that small inputs also slide the window; bytes 2-9 the
// sizes that successive reads hand out, by turns; the rest is the entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archive/DeflateHarness.h"

namespace fuzz {

struct FuzzEntry {
  std::array<std::uint32_t, 8> read_sizes{};
  deflate_test::CompressOptions options;  // read_sizes points into this entry: do not copy it
  std::vector<std::uint8_t> input;

  FuzzEntry() = default;
  FuzzEntry(const FuzzEntry&) = delete;
  FuzzEntry& operator=(const FuzzEntry&) = delete;
};

constexpr std::size_t kFuzzHeader = 10;

// Fills `entry` from the fuzzer's bytes; false when there are too few of them.
inline bool ReadFuzzEntry(const std::uint8_t* data, std::size_t size, FuzzEntry& entry) {
  if (size < kFuzzHeader) return false;
  // A read may hand out 0 (all that is asked), 1 to 255 bytes, or much more.
  constexpr std::uint32_t kReadScale[4] = {0, 1, 1, 997};
  for (std::size_t i = 0; i < entry.read_sizes.size(); ++i) {
    entry.read_sizes[i] = data[2 + i] * kReadScale[data[2 + i] & 3];
  }
  entry.options.level = 1 + data[0] % 8;
  entry.options.end_with_ffffffff = (data[1] & 1) != 0;
  entry.options.read_sizes = entry.read_sizes;

  const std::span<const std::uint8_t> piece(data + kFuzzHeader, size - kFuzzHeader);
  const int copies = 1 << ((data[1] >> 1) & 7);
  entry.input.clear();
  for (int copy = 0; copy < copies; ++copy) {
    entry.input.insert(entry.input.end(), piece.begin(), piece.end());
    if (!piece.empty()) {
      entry.input[entry.input.size() - piece.size()] ^= static_cast<std::uint8_t>(copy);
    }
  }
  return true;
}

}  // namespace fuzz
