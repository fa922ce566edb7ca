// The percentage the archive job reports after each file. It has always
// been computed in x87 extended precision (a 64-bit significand): the
// quotient done / count rounded to 64 bits, its product with 100 rounded to
// 64 bits, then truncated. That rounding decides values such as 52 for 53
// of 100 files, so it is reproduced exactly, in integer arithmetic, on
// every compiler, whatever its long double is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace archive {

// 0 for no files; exactly 100 once done reaches count.
std::uint16_t ProgressPercent(std::size_t done, std::size_t count);

}  // namespace archive
