// Compresses arbitrary bytes at an arbitrary level, read in arbitrary pieces,
// and checks that zlib inflates the result back to the same bytes.
//
// Input layout: byte 0 picks the level; byte 1 how the input ends (bit 0) and
// how often the rest repeats (bits 1-3: 1 to 128 times, each copy marked by
// its number in its first byte), so that small inputs also slide the window;
// bytes 2-9 the sizes that successive reads hand out, by turns; the rest is
// the entry.
// One state serves every run, as the zip writer reuses it across entries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "archive/DeflateHarness.h"

namespace {

constexpr std::size_t kHeader = 10;
// A read may hand out 0 (all that is asked), 1 to 255 bytes, or much more.
constexpr std::uint32_t kReadScale[4] = {0, 1, 1, 997};

void fail(const char* what) {
  std::fprintf(stderr, "deflate_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  static auto state = deflate_test::make_state();

  std::uint32_t read_sizes[8];
  for (int i = 0; i < 8; ++i) read_sizes[i] = data[2 + i] * kReadScale[data[2 + i] & 3];
  deflate_test::CompressOptions options;
  options.level = 1 + data[0] % 8;
  options.end_with_ffffffff = (data[1] & 1) != 0;
  options.read_sizes = read_sizes;

  const std::span<const std::uint8_t> piece(data + kHeader, size - kHeader);
  std::vector<std::uint8_t> input;
  const int copies = 1 << ((data[1] >> 1) & 7);
  for (int copy = 0; copy < copies; ++copy) {
    input.insert(input.end(), piece.begin(), piece.end());
    if (!piece.empty()) input[input.size() - piece.size()] ^= static_cast<std::uint8_t>(copy);
  }

  const deflate_test::Compressed out = deflate_test::compress(*state, input, options);
  if (out.error != nullptr) fail(out.error);
  if (out.reported_size != out.bytes.size()) fail("reported size differs from the output");
  const std::vector<std::uint8_t> back = deflate_test::inflate_raw(out.bytes);
  if (!std::equal(back.begin(), back.end(), input.begin(), input.end())) fail("round trip");
  return 0;
}
