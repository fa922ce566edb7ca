// The compressor's match search takes shortcuts that must not change what it
// finds: on every input, at every level, it must choose the matches of the
// plain walk along the 3-byte chain (PlainMatchFinder.cpp), so the two write
// the same bytes. Where they differ, the block lister shows the first symbol
// that does.
#include <gtest/gtest.h>

#include <functional>
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
};

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

const SearchCase kSearchCases[] = {
    {"text_over_slides", [] { return text_bytes(200000, 34); }},
    {"edited_text", [] { return edited_text(150000); }},
    {"few_letters", [] { return few_letters(140000); }},
    {"random", [] { return random_bytes(70000, 35); }},
    {"zeros_over_slides", [] { return std::vector<std::uint8_t>(200000, 0); }},
    {"three_byte_key_collisions", [] { return three_byte_key_collisions(150000, 36); }},
    {"four_byte_key_collisions", [] { return four_byte_key_collisions(150000); }},
    {"key_shared_across_the_last_slide", key_shared_across_the_last_slide},
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
    const Compressed fast = compress(*fast_state, input, {.level = level});
    const Compressed plain = compress(*plain_state, input, {.level = level, .plain_search = true});
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
  for (const auto& input : {four_byte_key_collisions(300000), three_byte_key_collisions(300000, 38),
                            few_letters(300000)}) {
    compress(*state, input);
    EXPECT_LE(state->most_search_steps, 3 * kChainLimit);
  }
}

}  // namespace
}  // namespace deflate_test
