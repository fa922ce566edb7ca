// A slow, independent reader of deflate streams for tests: it lists each
// block with its type, its header counts and its symbols, which a round trip
// through an inflater cannot show (which block type was chosen, whether a
// repeat was written as a match or as literals, how far a match reaches).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace deflate_test {

struct ListedSymbol {
  std::uint32_t literal = 0;   // the byte, when distance is 0
  std::uint32_t length = 0;    // match length, 3..258
  std::uint32_t distance = 0;  // 0 for a literal

  bool is_match() const { return distance != 0; }
};

struct ListedBlock {
  int type = 0;  // 0 stored, 1 fixed codes, 2 dynamic codes
  bool last = false;
  std::vector<ListedSymbol> symbols;  // without the end of block
  std::vector<std::uint8_t> stored;   // a stored block's bytes
  // Dynamic blocks: the counts sent in the header and the code lengths.
  int literal_codes = 0;
  int distance_codes = 0;
  int code_length_codes = 0;
  std::vector<int> distance_lengths;
};

struct ListedStream {
  std::vector<ListedBlock> blocks;
  std::vector<std::uint8_t> output;  // the decoded bytes
  std::size_t bytes_used = 0;        // stream bytes up to the end of the last block
};

// Throws std::runtime_error on a malformed stream.
ListedStream list_blocks(std::span<const std::uint8_t> stream);

}  // namespace deflate_test
