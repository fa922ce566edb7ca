// A plain, slow match search for the tests, against which the compressor's
// own search is compared: both must choose the same matches, so both must
// write the same bytes.
#pragma once

#include <cstdint>

#include "archive/Deflate.h"

namespace deflate_test {

// compress_entry with the plain search in place of the compressor's own;
// the block encoder is the compressor's.
std::uint32_t compress_entry_plainly(TState& state, const TEntrySetup& setup);

}  // namespace deflate_test
