// Compresses arbitrary bytes with the compressor's own match search and with
// the plain walk along the 3-byte chain (tests/archive/PlainMatchFinder.cpp)
// and checks that both wrote the same bytes: the fast search's shortcuts must
// never change a match. The input is read as FuzzEntry.h says. The fast
// search keeps one state across runs, as the zip writer does.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzEntry.h"
#include "archive/DeflateHarness.h"

namespace {

void fail(const char* what) {
  std::fprintf(stderr, "deflate_search_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto fast_state = deflate_test::make_state();
  static auto plain_state = deflate_test::make_state();

  fuzz::FuzzEntry entry;
  if (!fuzz::ReadFuzzEntry(data, size, entry)) return 0;
  const std::vector<std::uint8_t>& input = entry.input;
  deflate_test::CompressOptions& options = entry.options;

  const deflate_test::Compressed fast = deflate_test::compress(*fast_state, input, options);
  options.plain_search = true;
  const deflate_test::Compressed plain = deflate_test::compress(*plain_state, input, options);
  if (fast.error != nullptr) fail(fast.error);
  if (plain.error != nullptr) fail(plain.error);
  if (fast.bytes != plain.bytes) fail("the fast search chose other matches than the plain walk");
  return 0;
}
