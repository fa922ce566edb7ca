// The compressor's match search takes shortcuts that must not change what it
// finds: on every input, at every level, it must choose the matches of the
// plain walk along the 3-byte chain (PlainMatchFinder.cpp), so the two write
// the same bytes. Where they differ, the block lister shows the first symbol
// that does.
#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <sstream>
#include <string>

#include "BlockLister.h"
#include "CraftedInputs.h"
#include "DeflateHarness.h"

namespace deflate_test {
namespace {

struct SearchCase {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
  std::span<const std::uint32_t> read_sizes = {};  // how the input arrives; empty: all at once
};

// Reads that end anywhere, also a few bytes after a position the search
// indexes: its last bytes arrive with a later read.
constexpr std::uint32_t kUnevenReads[] = {4093, 7, 1, 30011, 258, 3, 65536};
constexpr std::uint32_t kByteByByte[] = {1};

void PrintTo(const SearchCase& c, std::ostream* os) {
  *os << c.name;
}

// Text in which a few bytes change now and then: long chains, matches of
// every length, many of them just as long as the one before.
std::vector<std::uint8_t> edited_text(std::size_t size) {
  std::vector<std::uint8_t> bytes = text_bytes(size, 31);
  const std::vector<std::uint8_t> noise = random_bytes(size / 97 + 1, 32);
  for (std::size_t i = 0; i < noise.size(); ++i) bytes[i * 97] = noise[i];
  return bytes;
}

// Short repeats of few letters at every distance: chains longer than any
// level's limit, and 3-byte matches near and beyond 4096 bytes back.
std::vector<std::uint8_t> few_letters(std::size_t size) {
  std::vector<std::uint8_t> bytes = random_bytes(size, 33);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>('a' + byte % 4);
  return bytes;
}

// Machine code, roughly: instructions from a small set, the common ones far
// more often, some with a random operand. Matches of seven bytes and more
// are everywhere, and the longest is seldom the nearest.
std::vector<std::uint8_t> code_like(std::size_t size) {
  const std::vector<std::uint8_t> pool = random_bytes(4096, 41);
  const std::vector<std::uint8_t> choices = random_bytes(size, 42);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size + 16);
  for (std::size_t i = 0; bytes.size() < size; ++i) {
    const std::uint8_t pick = choices[i % choices.size()];
    const std::size_t instruction = (pick * pick) >> 8;  // small numbers more often
    const std::size_t length = 2 + instruction % 6;
    const auto start = pool.begin() + static_cast<std::ptrdiff_t>(instruction * 8);
    bytes.insert(bytes.end(), start, start + static_cast<std::ptrdiff_t>(length));
    if (pick % 5 == 0) bytes.push_back(choices[(i * 7) % choices.size()]);
  }
  bytes.resize(size);
  return bytes;
}

// Read a byte at a time, the window holds exactly 262 bytes ahead of the
// scan whenever a step begins. A block that repeats gives a match of 258
// whose last inserted positions lack their last byte or two until the next
// reads; later a string from there comes again, right behind a copy of its
// first seven bytes, so the search has a 7-byte match when it reaches them
// and an older, equally long copy farther back.
std::vector<std::uint8_t> last_bytes_read_after_a_long_match() {
  const std::vector<std::uint8_t> block = random_bytes(300, 43);
  const auto piece = [&](std::size_t from, std::size_t count) {
    const auto start = block.begin() + static_cast<std::ptrdiff_t>(from);
    return std::vector<std::uint8_t>(start, start + static_cast<std::ptrdiff_t>(count));
  };
  // The second block is one match from 301 on; its positions 557 and 558
  // wait for their eighth byte. The string at 557 comes again.
  const std::vector<std::uint8_t> again = piece(257, 40);
  std::vector<std::uint8_t> bytes = block;
  for (const auto& part : {block, random_bytes(100, 44), piece(257, 7),
                           std::vector<std::uint8_t>{static_cast<std::uint8_t>(~again[7])},
                           random_bytes(50, 45), again, random_bytes(100, 46)}) {
    bytes.insert(bytes.end(), part.begin(), part.end());
  }
  return bytes;
}

// The first candidate of a search can lie exactly at the farthest distance,
// 32506 bytes back, and be reached along the 4-byte chain (the lazy search
// that follows a match of three, whose walk starts there); an older string
// behind it matches longer but is out of reach. Three occurrences of one
// 20-byte string in random bytes: the oldest whole, the middle one (the
// first candidate) sharing its first five bytes, the last at the scan.
std::vector<std::uint8_t> first_candidate_at_the_limit() {
  constexpr std::size_t kScan = 40000;
  constexpr std::size_t kFirst = kScan - 32506;
  constexpr std::size_t kOldest = 1000;
  std::vector<std::uint8_t> bytes = random_bytes(kScan + 2000, 47);
  const std::vector<std::uint8_t> string(bytes.begin() + kOldest, bytes.begin() + kOldest + 20);
  std::copy(string.begin(), string.end(), bytes.begin() + kScan);
  std::copy_n(string.begin(), 5, bytes.begin() + kFirst);
  bytes[kFirst + 5] = static_cast<std::uint8_t>(string[5] + 1);
  // A match of three just before the scan, 100 bytes back: the byte before
  // the string and its first two, then another third byte.
  std::copy_n(bytes.begin() + kScan - 1, 3, bytes.begin() + kScan - 101);
  bytes[kScan - 98] = static_cast<std::uint8_t>(string[2] + 1);
  return bytes;
}

const SearchCase kSearchCases[] = {
    {"text_over_slides", [] { return text_bytes(200000, 34); }},
    {"edited_text", [] { return edited_text(150000); }},
    {"few_letters", [] { return few_letters(140000); }},
    {"random", [] { return random_bytes(70000, 35); }},
    {"zeros_over_slides", [] { return std::vector<std::uint8_t>(200000, 0); }},
    {"three_byte_key_collisions", [] { return three_byte_key_collisions(150000, 36); }},
    {"four_byte_key_collisions", [] { return four_byte_key_collisions(150000); }},
    {"eight_byte_key_collisions", [] { return eight_byte_key_collisions(150000); }},
    {"edited_text_in_uneven_reads", [] { return edited_text(150000); }, kUnevenReads},
    {"few_letters_in_uneven_reads", [] { return few_letters(140000); }, kUnevenReads},
    {"code", [] { return code_like(150000); }},
    {"last_bytes_read_after_a_long_match", last_bytes_read_after_a_long_match, kByteByByte},
    {"key_shared_across_the_last_slide", key_shared_across_the_last_slide},
    {"first_candidate_at_the_limit", first_candidate_at_the_limit},
    {"short", [] { return text_bytes(300, 37); }},
};

// The first symbol at which two streams differ, as text.
std::string first_difference(const std::vector<std::uint8_t>& fast,
                             const std::vector<std::uint8_t>& plain) {
  const auto symbols = [](const std::vector<std::uint8_t>& stream) {
    std::vector<ListedSymbol> all;
    for (const auto& block : list_blocks(stream).blocks) {
      all.insert(all.end(), block.symbols.begin(), block.symbols.end());
    }
    return all;
  };
  const auto a = symbols(fast);
  const auto b = symbols(plain);
  const auto describe = [](const ListedSymbol& s) {
    return s.is_match() ? "match " + std::to_string(s.length) + " at " + std::to_string(s.distance)
                        : "literal " + std::to_string(s.literal);
  };
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i].literal != b[i].literal || a[i].length != b[i].length ||
        a[i].distance != b[i].distance) {
      std::ostringstream out;
      out << "symbol " << i << ": fast " << describe(a[i]) << ", plain " << describe(b[i]);
      return out.str();
    }
  }
  return "symbols " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         " (or a stored block differs)";
}

class SameMatchesAsThePlainWalk : public testing::TestWithParam<SearchCase> {};

TEST_P(SameMatchesAsThePlainWalk, AtEveryLevelWithAStateThatServedOtherEntries) {
  const std::vector<std::uint8_t> input = GetParam().make();
  // The fast search keeps one state across entries, as the zip writer does,
  // and each entry follows others of other kinds.
  auto fast_state = make_state();
  auto plain_state = make_state();
  compress(*fast_state, few_letters(90000));
  for (int level = 1; level <= 8; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    compress(*fast_state, few_letters(1000));  // not the window's last content
    const Compressed fast =
        compress(*fast_state, input, {.level = level, .read_sizes = GetParam().read_sizes});
    const Compressed plain =
        compress(*plain_state, input,
                 {.level = level, .read_sizes = GetParam().read_sizes, .plain_search = true});
    ASSERT_EQ(fast.error, nullptr) << fast.error;
    ASSERT_EQ(plain.error, nullptr) << plain.error;
    if (fast.bytes != plain.bytes) FAIL() << first_difference(fast.bytes, plain.bytes);
    EXPECT_EQ(inflate_raw(fast.bytes), input);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, SameMatchesAsThePlainWalk, testing::ValuesIn(kSearchCases),
                         [](const auto& info) { return std::string(info.param.name); });

// However the chains are filled, one search goes through at most about three
// times the chain limit of entries, colliding ones included; the output
// stays the plain walk's (checked above on the same inputs).
TEST(SearchCost, CollisionsCannotLengthenASearchBeyondItsBound) {
  constexpr std::uint32_t kChainLimit = 1024;  // level 8
  auto state = make_state();
  for (const auto& input : {four_byte_key_collisions(300000), eight_byte_key_collisions(300000),
                            three_byte_key_collisions(300000, 38), few_letters(300000)}) {
    compress(*state, input);
    EXPECT_LE(state->most_search_steps, 3 * kChainLimit);
  }
}

}  // namespace
}  // namespace deflate_test
