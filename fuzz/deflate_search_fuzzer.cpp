// Compresses arbitrary bytes with the compressor's own match search and with
// the plain walk along the 3-byte chain (tests/archive/PlainMatchFinder.cpp)
// and checks that both wrote the same bytes: the fast search's shortcuts must
// never change a match. Input layout as in deflate_fuzzer.cpp: byte 0 the
// level, byte 1 the end of input (bit 0) and how often the rest repeats
// (bits 1-3), bytes 2-9 the read sizes, the rest the entry. The fast search
// keeps one state across runs, as the zip writer does.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "archive/DeflateHarness.h"

namespace {

constexpr std::size_t kHeader = 10;
constexpr std::uint32_t kReadScale[4] = {0, 1, 1, 997};

void fail(const char* what) {
  std::fprintf(stderr, "deflate_search_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  static auto fast_state = deflate_test::make_state();
  static auto plain_state = deflate_test::make_state();

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

  const deflate_test::Compressed fast = deflate_test::compress(*fast_state, input, options);
  options.plain_search = true;
  const deflate_test::Compressed plain = deflate_test::compress(*plain_state, input, options);
  if (fast.error != nullptr) fail(fast.error);
  if (plain.error != nullptr) fail(plain.error);
  if (fast.bytes != plain.bytes) fail("the fast search chose other matches than the plain walk");
  return 0;
}
