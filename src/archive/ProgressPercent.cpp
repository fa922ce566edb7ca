#include "archive/ProgressPercent.h"

namespace archive {

namespace {

constexpr int kSignificandBits = 64;

// A binary number m * 2^-fractionBits with m of exactly 64 significant bits.
struct Extended {
  std::uint64_t significand;
  int fractionBits;
};

// Rounds to nearest, ties to even, given the bit after the significand and
// whether any bit after that one is set.
Extended Round(Extended value, bool roundBit, bool sticky) {
  if (roundBit && (sticky || (value.significand & 1) != 0)) {
    if (++value.significand == 0) {
      value.significand = std::uint64_t{1} << 63;
      --value.fractionBits;
    }
  }
  return value;
}

// done / count for 0 < done < count, by long division in binary.
Extended Quotient(std::uint64_t done, std::uint64_t count) {
  Extended q{0, 0};
  std::uint64_t remainder = done;
  int bits = 0;
  auto nextBit = [&] {
    // remainder < count, and count is far below 2^63 for any list of files.
    remainder <<= 1;
    const bool bit = remainder >= count;
    if (bit) remainder -= count;
    return bit;
  };
  while (bits < kSignificandBits) {
    const bool bit = nextBit();
    ++q.fractionBits;
    if (bits > 0 || bit) {
      q.significand = q.significand << 1 | (bit ? 1 : 0);
      ++bits;
    }
  }
  const bool roundBit = nextBit();
  return Round(q, roundBit, remainder != 0);
}

// value * 100, rounded back to 64 significant bits.
Extended TimesHundred(Extended value) {
  // The product has up to 71 bits: high holds those above the low 64.
  const std::uint64_t lowHalf = (value.significand & 0xFFFFFFFFu) * 100;
  const std::uint64_t highHalf = (value.significand >> 32) * 100;
  std::uint64_t low = lowHalf + (highHalf << 32);
  std::uint64_t high = (highHalf >> 32) + (low < lowHalf ? 1 : 0);
  int shift = 0;
  while ((high >> shift) != 0) ++shift;
  if (shift == 0) return value;  // cannot happen: 100 adds at least 6 bits
  const std::uint64_t kept = (low >> shift) | (high << (kSignificandBits - shift));
  const bool roundBit = ((low >> (shift - 1)) & 1) != 0;
  const bool sticky = (low & ((std::uint64_t{1} << (shift - 1)) - 1)) != 0;
  return Round({kept, value.fractionBits - shift}, roundBit, sticky);
}

}  // namespace

std::uint16_t ProgressPercent(std::size_t done, std::size_t count) {
  if (count == 0 || done == 0) return 0;
  if (done >= count) return 100;
  const Extended percent = TimesHundred(Quotient(done, count));
  if (percent.fractionBits >= kSignificandBits) return 0;
  return static_cast<std::uint16_t>(percent.significand >> percent.fractionBits);
}

}  // namespace archive
