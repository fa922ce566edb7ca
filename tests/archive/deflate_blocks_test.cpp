// What the compressor chose, seen through the block lister: block types,
// where blocks end, and which repeats became matches.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "BlockLister.h"
#include "DeflateHarness.h"

namespace deflate_test {
namespace {

ListedStream compress_and_list(const std::vector<std::uint8_t>& input, int level = 8) {
  auto state = make_state();
  const Compressed out = compress(*state, input, {level, 0, false});
  EXPECT_EQ(out.error, nullptr) << out.error;
  ListedStream listed = list_blocks(out.bytes);
  EXPECT_EQ(listed.output, input);
  EXPECT_EQ(listed.bytes_used, out.bytes.size());
  return listed;
}

std::vector<ListedSymbol> all_symbols(const ListedStream& listed) {
  std::vector<ListedSymbol> symbols;
  for (const auto& block : listed.blocks) {
    symbols.insert(symbols.end(), block.symbols.begin(), block.symbols.end());
  }
  return symbols;
}

// The symbol that starts at input position `at`, or null when a match
// covers that position from before it.
const ListedSymbol* symbol_at(const std::vector<ListedSymbol>& symbols, std::size_t at) {
  std::size_t position = 0;
  for (const auto& symbol : symbols) {
    if (position == at) return &symbol;
    if (position > at) return nullptr;
    position += symbol.is_match() ? symbol.length : 1;
  }
  return nullptr;
}

constexpr std::size_t kFirstCopy = 100;  // not at 0: window position 0 is never a source

// Lower-case filler with `repeat` placed at kFirstCopy and `distance` bytes
// later; what follows each copy differs, so the repeat is exactly that long.
std::vector<std::uint8_t> repeat_at_distance(const std::string& repeat, std::size_t distance) {
  std::vector<std::uint8_t> bytes = random_bytes(kFirstCopy + distance + 600, 11);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>('a' + byte % 26);
  const auto place = [&](std::size_t at, char after) {
    std::copy(repeat.begin(), repeat.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    bytes[at + repeat.size()] = static_cast<std::uint8_t>(after);
  };
  place(kFirstCopy, 'q');
  place(kFirstCopy + distance, 'Q');
  return bytes;
}

// Random bytes in which no 3-byte string occurs twice: nothing to match.
std::vector<std::uint8_t> random_without_repeats(std::size_t size) {
  std::vector<std::uint8_t> bytes = random_bytes(size, 16);
  std::vector<bool> seen(1 << 24);
  std::mt19937 generator(17);
  for (std::size_t i = 2; i < size; ++i) {
    const auto key = [&] { return (bytes[i - 2] << 16) | (bytes[i - 1] << 8) | bytes[i]; };
    while (seen[key()]) bytes[i] = static_cast<std::uint8_t>(generator());
    seen[key()] = true;
  }
  return bytes;
}

// Text with one byte in eight replaced at random: compresses, but not so far
// that a few hundred KB fit into one block.
std::vector<std::uint8_t> noisy_text(std::size_t size) {
  std::vector<std::uint8_t> bytes = text_bytes(size, 15);
  std::mt19937 generator(18);
  for (auto& byte : bytes) {
    if (generator() % 8 == 0) byte = static_cast<std::uint8_t>('a' + generator() % 26);
  }
  return bytes;
}

// Every 3-byte string over 16 letters exactly once: nothing to match, but
// well worth dynamic codes.
std::vector<std::uint8_t> no_repeated_triples() {
  constexpr int k = 16;
  constexpr int n = 3;
  std::vector<int> a(k * n, 0);
  std::vector<std::uint8_t> sequence;
  const std::function<void(int, int)> build = [&](int t, int p) {
    if (t > n) {
      if (n % p == 0) {
        for (int j = 1; j <= p; ++j) sequence.push_back(static_cast<std::uint8_t>('A' + a[j]));
      }
      return;
    }
    a[t] = a[t - p];
    build(t + 1, p);
    for (int j = a[t - p] + 1; j < k; ++j) {
      a[t] = j;
      build(t + 1, t);
    }
  };
  build(1, 1);
  return sequence;
}

TEST(DeflateBlocks, EmptyInputIsOneFixedBlockOfTwoBytes) {
  auto state = make_state();
  const Compressed out = compress(*state, {});
  EXPECT_EQ(out.bytes, (std::vector<std::uint8_t>{0x03, 0x00}));
  EXPECT_EQ(out.reported_size, 2u);
}

TEST(DeflateBlocks, OneByteIsAFixedBlockOfThreeBytes) {
  auto state = make_state();
  const Compressed out = compress(*state, std::vector<std::uint8_t>{'a'});
  EXPECT_EQ(out.bytes, (std::vector<std::uint8_t>{0x4B, 0x04, 0x00}));
  EXPECT_EQ(out.reported_size, 3u);
}

// Window position 0 is never a match source, and no match runs past the input.
TEST(DeflateBlocks, EqualBytesStartMatchingAtTheThirdByte) {
  for (const int level : {1, 8}) {
    SCOPED_TRACE("level " + std::to_string(level));
    const auto five = all_symbols(compress_and_list(std::vector<std::uint8_t>(5, 'x'), level));
    ASSERT_EQ(five.size(), 3u);
    EXPECT_FALSE(five[0].is_match());
    EXPECT_FALSE(five[1].is_match());
    EXPECT_EQ(five[2].distance, 1u);
    EXPECT_EQ(five[2].length, 3u);

    const auto four = all_symbols(compress_and_list(std::vector<std::uint8_t>(4, 'x'), level));
    ASSERT_EQ(four.size(), 4u);
    for (const auto& symbol : four) EXPECT_FALSE(symbol.is_match());
  }
}

TEST(DeflateBlocks, HowFarBackARepeatBecomesAMatch) {
  struct Case {
    const char* repeat;
    std::size_t distance;
    std::uint32_t expected_length;  // 0: written as literals
  };
  const Case kCases[] = {
      {"XYZ", 4096, 3},    {"XYZ", 4097, 0},    // a far 3-byte match costs more than literals
      {"WXYZ", 20000, 4},  {"WXYZ", 32000, 4},  // longer repeats reach much farther
      {"VWXYZ", 32507, 0},                      // but never beyond it
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.repeat) + " at " + std::to_string(c.distance));
    const auto symbols = all_symbols(compress_and_list(repeat_at_distance(c.repeat, c.distance)));
    const ListedSymbol* symbol = symbol_at(symbols, kFirstCopy + c.distance);
    ASSERT_NE(symbol, nullptr);
    if (c.expected_length == 0) {
      EXPECT_FALSE(symbol->is_match());
    } else {
      EXPECT_EQ(symbol->distance, c.distance);
      EXPECT_EQ(symbol->length, c.expected_length);
    }
  }
}

TEST(DeflateBlocks, MatchesStayWithinTheFormatsAndTheWindowsLimits) {
  std::vector<std::uint8_t> input(300000, 'r');  // long runs: matches of 258
  const auto text = text_bytes(200000, 12);
  input.insert(input.end(), text.begin(), text.end());
  for (const int level : {2, 8}) {
    const auto listed = compress_and_list(input, level);
    std::uint32_t longest = 0;
    for (const auto& symbol : all_symbols(listed)) {
      EXPECT_LE(symbol.distance, 32506u);
      longest = std::max(longest, symbol.length);
    }
    EXPECT_EQ(longest, 258u);
  }
}

TEST(DeflateBlocks, IncompressibleDataIsStored) {
  const auto listed = compress_and_list(random_bytes(20000, 13));
  ASSERT_EQ(listed.blocks.size(), 1u);
  EXPECT_EQ(listed.blocks[0].type, 0);
  EXPECT_TRUE(listed.blocks[0].last);
}

// Without matches, blocks end at full symbol buffers, every 32767 bytes. The
// second block begins one byte below the window's upper half; when the scan
// reaches the slide point, the slide takes that byte out of the window, and
// the block can no longer be stored.
TEST(DeflateBlocks, ABlockThatBeganBeforeASlideIsNotStored) {
  const auto input = random_without_repeats(150000);
  const std::pair<std::size_t, bool> kCases[] = {{65200, true}, {65300, false}, {150000, false}};
  for (const auto& [size, second_stored] : kCases) {
    SCOPED_TRACE(size);
    const auto listed =
        compress_and_list({input.begin(), input.begin() + static_cast<std::ptrdiff_t>(size)});
    ASSERT_GE(listed.blocks.size(), 2u);
    EXPECT_EQ(listed.blocks[0].type, 0);
    EXPECT_EQ(listed.blocks[0].stored.size(), 32767u);
    EXPECT_EQ(listed.blocks[1].type == 0, second_stored);
  }
}

TEST(DeflateBlocks, BlocksEndAtFullBuffersOrByTheEarlyEndRule) {
  std::vector<std::uint8_t> input = noisy_text(400000);
  const auto zeros = std::vector<std::uint8_t>(100000, 0);
  input.insert(input.begin() + 150000, zeros.begin(), zeros.end());
  for (const int level : {1, 2, 3, 8}) {
    SCOPED_TRACE("level " + std::to_string(level));
    const auto listed = compress_and_list(input, level);
    ASSERT_GE(listed.blocks.size(), 2u);
    for (std::size_t i = 0; i + 1 < listed.blocks.size(); ++i) {
      const std::size_t symbols = listed.blocks[i].symbols.size();
      EXPECT_FALSE(listed.blocks[i].last);
      if (level <= 2) {
        EXPECT_EQ(symbols, 32767u) << "block " << i;
      } else {
        EXPECT_TRUE(symbols == 32767u || symbols % 4096 == 0) << symbols << " in block " << i;
      }
    }
    EXPECT_TRUE(listed.blocks.back().last);
    EXPECT_LE(listed.blocks.back().symbols.size(), 32767u);
  }
}

TEST(DeflateBlocks, ADynamicBlockWithoutMatchesDeclaresTwoDistanceCodes) {
  const auto input = no_repeated_triples();
  ASSERT_EQ(input.size(), 4096u);
  const auto listed = compress_and_list(input);
  ASSERT_EQ(listed.blocks.size(), 1u);
  const ListedBlock& block = listed.blocks[0];
  EXPECT_EQ(block.type, 2);
  for (const auto& symbol : block.symbols) EXPECT_FALSE(symbol.is_match());
  EXPECT_EQ(block.distance_codes, 2);
  EXPECT_EQ(block.distance_lengths, (std::vector<int>{1, 1}));
  EXPECT_GE(block.code_length_codes, 4);
}

}  // namespace
}  // namespace deflate_test

namespace deflate_test {
namespace {

std::vector<std::uint8_t> from_hex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Inputs found by search on which two block types come out at the same
// estimated size: the fixed codes win over dynamic ones, a stored block over
// both.
TEST(DeflateBlocks, TiesGoToFixedCodesAndStoredBlocks) {
  struct Case {
    std::vector<std::uint8_t> input;
    int type;
    std::size_t size;
  };
  const auto text = [](const char* s) { return std::vector<std::uint8_t>(s, s + std::strlen(s)); };
  const Case kCases[] = {
      {text("tvakkpvlnoudiirlrunhvsfrgcmdciwevmlfm"), 1, 39},  // fixed = dynamic = 39 bytes
      {text("hjgdohlhjbbdjjkelekfcmifhlbgahk"), 1, 33},        // fixed = dynamic = 33 bytes
      {from_hex("72b9ab648f9e8cd4a0b7addaadccc28e87d2bedb7bb6c6d3c8"), 0, 30},  // 25 + 4 = 29
      {from_hex("c8c5c78fa5aba8c69b8f7dd4c58d696bb6b082d8ab9d6586c0c099"), 0,
       32},  // stored 27 + 4 = coded 31
  };
  for (const auto& c : kCases) {
    auto state = make_state();
    const Compressed out = compress(*state, c.input);
    const ListedStream listed = list_blocks(out.bytes);
    ASSERT_EQ(listed.blocks.size(), 1u);
    EXPECT_EQ(listed.blocks[0].type, c.type);
    EXPECT_EQ(out.bytes.size(), c.size);
    EXPECT_EQ(listed.output, c.input);
  }
}

}  // namespace
}  // namespace deflate_test
