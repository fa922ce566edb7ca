// Compresses arbitrary bytes at an arbitrary level, read in arbitrary pieces,
// and checks that zlib inflates the result back to the same bytes.
// The input is read as FuzzEntry.h says.
// One state serves every run, as the zip writer reuses it across entries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzEntry.h"
#include "archive/DeflateHarness.h"

namespace {

void fail(const char* what) {
  std::fprintf(stderr, "deflate_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto state = deflate_test::make_state();

  fuzz::FuzzEntry entry;
  if (!fuzz::ReadFuzzEntry(data, size, entry)) return 0;
  const std::vector<std::uint8_t>& input = entry.input;
  deflate_test::CompressOptions& options = entry.options;

  const deflate_test::Compressed out = deflate_test::compress(*state, input, options);
  if (out.error != nullptr) fail(out.error);
  if (out.reported_size != out.bytes.size()) fail("reported size differs from the output");
  const std::vector<std::uint8_t> back = deflate_test::inflate_raw(out.bytes);
  if (!std::equal(back.begin(), back.end(), input.begin(), input.end())) fail("round trip");
  return 0;
}
