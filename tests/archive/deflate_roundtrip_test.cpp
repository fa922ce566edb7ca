// Every compressed stream must inflate, with zlib, back to its input, at every
// level and however the input arrives.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CraftedInputs.h"
#include "DeflateHarness.h"

namespace deflate_test {
namespace {

struct InputCase {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
};

std::vector<std::uint8_t> long_runs() {
  std::vector<std::uint8_t> bytes;
  for (int run = 0; run < 40; ++run) bytes.insert(bytes.end(), 1000 + run * 337, 'a' + run % 5);
  return bytes;
}

// Text, random bytes and runs by turns, so blocks change character midway.
std::vector<std::uint8_t> mixed(std::size_t size) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t part = 0; bytes.size() < size; ++part) {
    const auto piece = part % 3 == 0   ? text_bytes(20000, part)
                       : part % 3 == 1 ? random_bytes(9000, part)
                                       : std::vector<std::uint8_t>(7000, 0);
    bytes.insert(bytes.end(), piece.begin(), piece.end());
  }
  bytes.resize(size);
  return bytes;
}

const InputCase kInputs[] = {
    {"empty", [] { return std::vector<std::uint8_t>{}; }},
    {"one_byte", [] { return std::vector<std::uint8_t>{'a'}; }},
    {"four_equal", [] { return std::vector<std::uint8_t>(4, 'x'); }},
    {"five_equal", [] { return std::vector<std::uint8_t>(5, 'x'); }},
    {"short_text", [] { return text_bytes(200, 1); }},
    {"text", [] { return text_bytes(150000, 2); }},
    {"random", [] { return random_bytes(150000, 3); }},
    {"long_runs", long_runs},
    {"zeros_beyond_many_slides", [] { return std::vector<std::uint8_t>(400000, 0); }},
    {"mixed", [] { return mixed(300000); }},
    {"exactly_one_window", [] { return mixed(65536); }},
    {"at_the_slide_point", [] { return mixed(65274); }},
};

void PrintTo(const InputCase& input, std::ostream* os) {
  *os << input.name;
}

class RoundTrip : public testing::TestWithParam<InputCase> {};

void expect_round_trip(TState& state, const std::vector<std::uint8_t>& input,
                       const CompressOptions& options) {
  SCOPED_TRACE("level " + std::to_string(options.level) + ", reads of at most " +
               std::to_string(options.max_read) +
               (options.end_with_ffffffff ? ", ends with 0xFFFFFFFF" : ""));
  const Compressed out = compress(state, input, options);
  EXPECT_EQ(out.error, nullptr) << out.error;
  EXPECT_EQ(out.reported_size, out.bytes.size());
  EXPECT_EQ(inflate_raw(out.bytes), input);
}

TEST_P(RoundTrip, EveryLevelAndReadPattern) {
  const std::vector<std::uint8_t> input = GetParam().make();
  auto state = make_state();  // one state for all, as the zip writer reuses it
  for (int level = 1; level <= 8; ++level) {
    expect_round_trip(*state, input, {level, 0, false});
  }
  expect_round_trip(*state, input, {8, 1, false});
  expect_round_trip(*state, input, {2, 1, true});
  expect_round_trip(*state, input, {8, 4093, true});
  const std::uint32_t kUneven[] = {7, 0, 1, 300, 65536, 2};
  expect_round_trip(*state, input, {5, 0, false, kUneven});
}

INSTANTIATE_TEST_SUITE_P(Inputs, RoundTrip, testing::ValuesIn(kInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// What an earlier entry left in the window and the chains must not reach the
// next entry's output.
// Earlier entries large (the window slid) and small (it did not, and their
// hash heads are cleared one by one).
TEST(RoundTripState, OutputDoesNotDependOnEarlierEntries) {
  for (const auto& earlier : {mixed(200000), text_bytes(3000, 10)}) {
    for (const auto& input :
         {text_bytes(3000, 9), mixed(90000), std::vector<std::uint8_t>(300, 'z')}) {
      auto fresh = make_state();
      const Compressed alone = compress(*fresh, input);
      auto used = make_state();
      compress(*used, earlier);
      compress(*used, input, {3, 0, false});
      EXPECT_EQ(compress(*used, input).bytes, alone.bytes);
    }
  }
}

TEST(RoundTripState, LevelIsMarkedInTheEntryFlags) {
  auto state = make_state();
  const std::vector<std::uint8_t> input = text_bytes(1000, 4);
  const std::pair<int, std::uint16_t> kCases[] = {{1, 4}, {2, 4}, {3, 0}, {7, 0}, {8, 2}};
  for (const auto& [level, flags] : kCases) {
    EXPECT_EQ(compress(*state, input, {level, 0, false}).flags, flags) << "level " << level;
  }
}

// A failed write leaves the buffer full; the compressor must neither write
// past it nor hand over more than it holds, and the next entry is whole.
TEST(RoundTripState, OutputThatIsNotTakenDoesNotOverflowTheBuffer) {
  auto state = make_state();
  const std::vector<std::uint8_t> input = mixed(200000);
  CompressOptions refusing;
  refusing.refuse_output = true;
  const Compressed refused = compress(*state, input, refusing);
  EXPECT_TRUE(refused.bytes.empty());
  EXPECT_EQ(refused.largest_buffer_flush, 16384u);
  EXPECT_EQ(inflate_raw(compress(*state, input).bytes), input);
}

TEST(RoundTripState, AKeySharedAcrossTheLastSlideIsNoFault) {
  const std::vector<std::uint8_t> input = key_shared_across_the_last_slide();
  auto state = make_state();
  for (const int level : {1, 8}) {
    const Compressed out = compress(*state, input, {level, 0, false});
    EXPECT_EQ(out.error, nullptr) << "level " << level << ": " << out.error;
    EXPECT_EQ(inflate_raw(out.bytes), input);
  }
}

TEST(RoundTripState, BadLevelIsReportedAndTheOutputStaysSound) {
  auto state = make_state();
  const std::vector<std::uint8_t> input = text_bytes(5000, 5);
  for (const int level : {0, 9, -1}) {
    const Compressed out = compress(*state, input, {level, 0, false});
    EXPECT_STREQ(out.error, "bad pack level");
    EXPECT_EQ(inflate_raw(out.bytes), input);
  }
}

}  // namespace
}  // namespace deflate_test
