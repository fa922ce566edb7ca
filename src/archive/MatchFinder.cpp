// The front half of the deflate compressor: it turns the entry's bytes into
// literals and matches for the block encoder.
//
// The input streams through a 64 KiB window made of two 32 KiB halves. Each
// position is hashed over its next three bytes; head[key] holds the last
// position with that key and chain[position & 0x7FFF] the one before it, so
// following the chain visits earlier occurrences of the same three bytes,
// nearest first. Once the scan reaches the slide point, the upper half moves
// down and every stored position drops by 32768 (those that fall out become
// 0, which means "none"; position 0 itself is therefore never a source).
//
// Matches reach back at most 32506 bytes, so that a match and the 262-byte
// lookahead behind the scan both fit into the 32 KiB history. Levels 1 to 3
// take the first match they find (greedy); levels 4 to 8 look one byte ahead
// and keep the current match only when the next position offers no longer
// one (lazy). The level table bounds how hard each search tries.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "archive/Deflate.h"

namespace {

constexpr std::uint32_t kMinMatch = 3;    // strings are hashed over three bytes
constexpr std::uint32_t kMaxMatch = 258;  // the format's longest match
constexpr std::uint32_t kMinLookahead = kMaxMatch + kMinMatch + 1;        // below this, refill
constexpr std::uint32_t kFarthestDistance = kWindowHalf - kMinLookahead;  // 32506
constexpr std::uint32_t kSlidePoint = kWindowHalf + kFarthestDistance;    // 65274
constexpr std::uint32_t kTooFar = 4096;  // a 3-byte match farther back costs more than literals
constexpr std::uint32_t kHashShift = 5;  // three shifts push a byte out of the 15-bit key
constexpr std::uint32_t kHashMask = kHashSize - 1;
constexpr std::uint32_t kChainMask = kWindowHalf - 1;
constexpr std::uint32_t kEndOfInput = 0xFFFFFFFF;  // a read answer that also ends the input

static_assert(std::endian::native == std::endian::little,
              "the string compare counts equal bytes from the low end of a word");

// How hard each level searches. good: from a previous match this long on,
// follow only a quarter of the chain. lazy: look ahead only after a match
// shorter than this (greedy levels: the longest match whose positions are
// still inserted). nice: stop at a match this long. chain: the most chain
// entries one search visits.
struct LevelParameters {
  std::uint16_t good;
  std::uint16_t lazy;
  std::uint16_t nice;
  std::uint16_t chain;
};

constexpr LevelParameters kLevels[] = {
    {4, 4, 8, 4},         // 1: greedy, fastest
    {4, 5, 16, 8},        // 2
    {4, 6, 32, 32},       // 3: greedy, last
    {4, 4, 16, 16},       // 4: lazy, first
    {8, 16, 32, 32},      // 5
    {8, 16, 128, 128},    // 6
    {8, 32, 128, 256},    // 7
    {32, 128, 258, 1024}  // 8: the zip writer's level
};
constexpr int kLastGreedyLevel = 3;
constexpr std::uint16_t kFlagFastest = 4;  // entry flag bits 1-2: the deflate option used
constexpr std::uint16_t kFlagMaximum = 2;

void update_hash(TState& s, std::uint8_t byte) {
  s.hash_key = ((s.hash_key << kHashShift) ^ byte) & kHashMask;
}

// Links the string at the scan position into its hash chain and answers the
// previous position with the same key (0: none).
std::uint32_t insert_string(TState& s) {
  update_hash(s, s.window[s.scan + kMinMatch - 1]);
  const std::uint32_t candidate = s.head[s.hash_key];
  s.chain[s.scan & kChainMask] = candidate;
  s.head[s.hash_key] = s.scan;
  return candidate;
}

std::uint32_t read_input(TState& s, std::uint8_t* buffer, std::uint32_t size) {
  const std::uint32_t count = s.read_fn(s, buffer, size);
  if (count == 0 || count == kEndOfInput) {
    s.end_of_input = 1;
    return 0;
  }
  return std::min(count, size);  // a callback that claims more cannot push the window over
}

void slide_window(TState& s) {
  std::memcpy(s.window, s.window + kWindowHalf, kWindowHalf);
  s.match_start -= kWindowHalf;
  s.scan -= kWindowHalf;
  s.block_start -= static_cast<std::int32_t>(kWindowHalf);
  const auto slide = [](std::uint32_t& position) {
    position = position >= kWindowHalf ? position - kWindowHalf : 0;
  };
  std::for_each(std::begin(s.head), std::end(s.head), slide);
  std::for_each(std::begin(s.chain), std::end(s.chain), slide);
}

void refill_window(TState& s) {
  do {
    std::uint32_t free = kWindowSize - s.lookahead - s.scan;
    if (s.scan >= kSlidePoint) {
      slide_window(s);
      free += kWindowHalf;
    }
    if (s.end_of_input) return;
    if (free < 2) {
      s.error = "more < 2";
      return;
    }
    s.lookahead += read_input(s, s.window + s.scan + s.lookahead, free);
  } while (s.lookahead < kMinLookahead && !s.end_of_input);
}

// Number of equal bytes at a and b, from offset 2 up to kMaxMatch, eight at
// a time: the first differing byte is the lowest set byte of the XOR.
std::uint32_t match_length(const std::uint8_t* a, const std::uint8_t* b) {
  for (std::uint32_t offset = 2; offset < kMaxMatch; offset += 8) {
    std::uint64_t wa;
    std::uint64_t wb;
    std::memcpy(&wa, a + offset, 8);
    std::memcpy(&wb, b + offset, 8);
    if (const std::uint64_t diff = wa ^ wb; diff != 0) {
      return offset + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
    }
  }
  return kMaxMatch;
}
static_assert((kMaxMatch - 2) % 8 == 0, "the compare ends exactly at the longest match");

std::uint16_t load16(const std::uint8_t* p) {
  std::uint16_t value;
  std::memcpy(&value, p, 2);
  return value;
}

std::uint32_t find_longest_match(TState& s, std::uint32_t candidate) {
  std::uint32_t best = s.prev_length;
  if (s.scan > kWindowSize - kMinLookahead) {
    s.error = "insufficient lookahead";  // the compare would leave the window
    return best;
  }
  std::uint32_t chain_count = s.chain_limit;
  if (s.prev_length >= s.good_length) chain_count >>= 2;
  const std::uint32_t limit = s.scan > kFarthestDistance ? s.scan - kFarthestDistance : 0;
  const std::uint32_t scan = s.scan;
  const std::uint32_t nice = static_cast<std::uint32_t>(s.nice_length);
  const std::uint8_t* const window = s.window;
  const std::uint32_t* const chain = s.chain;
  const std::uint8_t* const here = window + scan;
  // A longer match must agree at its last two bytes, and any match at its
  // first two: cheap rejections, checked before the compare.
  const std::uint16_t here_start = load16(here);
  std::uint16_t here_end = load16(here + best - 1);
  std::uint32_t best_start = s.match_start;

  do {
    if (candidate >= scan) {
      s.error = "no future";
      break;
    }
    const std::uint8_t* there = window + candidate;
    if (load16(there + best - 1) != here_end || load16(there) != here_start) continue;
    const std::uint32_t length = match_length(here, there);
    if (length > best) {
      best_start = candidate;
      best = length;
      if (length >= nice) break;
      here_end = load16(here + best - 1);
    }
  } while ((candidate = chain[candidate & kChainMask]) > limit && --chain_count != 0);
  s.match_start = best_start;
  return best;
}

// Searches the chain from `candidate`, with no match reaching past the input.
std::uint32_t search(TState& s, std::uint32_t candidate) {
  if (static_cast<std::uint32_t>(s.nice_length) > s.lookahead) {
    s.nice_length = static_cast<std::int32_t>(s.lookahead);
  }
  return std::min(find_longest_match(s, candidate), s.lookahead);
}

void end_block(TState& s) {
  const std::uint8_t* data = s.block_start >= 0 ? s.window + s.block_start : nullptr;
  ct_end_block(s, data, static_cast<std::uint32_t>(s.scan - s.block_start), 0);
  s.block_start = static_cast<std::int32_t>(s.scan);
}

std::uint32_t end_last_block(TState& s) {
  const std::uint8_t* data = s.block_start >= 0 ? s.window + s.block_start : nullptr;
  return ct_end_block(s, data, static_cast<std::uint32_t>(s.scan - s.block_start), 1);
}

std::uint32_t deflate_greedy(TState& s) {
  std::uint32_t candidate = 0;
  std::uint32_t length = 0;
  s.prev_length = kMinMatch - 1;
  while (s.lookahead != 0) {
    if (s.lookahead >= kMinMatch) candidate = insert_string(s);
    if (candidate != 0 && s.scan - candidate <= kFarthestDistance) {
      length = search(s, candidate);
    }
    int end_now;
    if (length >= kMinMatch) {
      end_now = ct_tally(s, s.scan - s.match_start, length - kMinMatch);
      s.lookahead -= length;
      if (length <= s.lazy_limit && s.lookahead >= kMinMatch) {
        // Short match: insert its inner positions too.
        while (--length != 0) {
          ++s.scan;
          candidate = insert_string(s);
        }
        ++s.scan;
      } else {
        // Long match: skip it, and restart the key at the new position.
        s.scan += length;
        s.hash_key = s.window[s.scan];
        update_hash(s, s.window[s.scan + 1]);
      }
      length = 0;
    } else {
      end_now = ct_tally(s, 0, s.window[s.scan]);
      --s.lookahead;
      ++s.scan;
    }
    if (end_now) end_block(s);
    if (s.lookahead < kMinLookahead) refill_window(s);
  }
  return end_last_block(s);
}

// Each step finds the match at the scan position, then decides for the
// previous position: its match is written when the one found here is no
// longer, else the previous byte goes out as a literal and this match waits
// for the next step's comparison.
std::uint32_t deflate_lazy(TState& s) {
  std::uint32_t candidate = 0;
  std::uint32_t length = kMinMatch - 1;
  bool literal_pending = false;
  while (s.lookahead != 0) {
    if (s.lookahead >= kMinMatch) candidate = insert_string(s);
    s.prev_length = length;
    const std::uint32_t prev_match = s.match_start;
    length = kMinMatch - 1;

    if (candidate != 0 && s.prev_length < s.lazy_limit && s.scan - candidate <= kFarthestDistance) {
      length = search(s, candidate);
      if (length == kMinMatch && s.scan - s.match_start > kTooFar) length = kMinMatch - 1;
    }

    if (s.prev_length >= kMinMatch && length <= s.prev_length) {
      const std::uint32_t max_insert = s.scan + s.lookahead - kMinMatch;
      const int end_now = ct_tally(s, s.scan - 1 - prev_match, s.prev_length - kMinMatch);
      // The match began at the previous position; the scan stands on its
      // second byte. Insert the rest of its positions while they have three
      // bytes of input.
      s.lookahead -= s.prev_length - 1;
      for (std::uint32_t left = s.prev_length - 2; left != 0; --left) {
        ++s.scan;
        if (s.scan <= max_insert) candidate = insert_string(s);
      }
      ++s.scan;
      literal_pending = false;
      length = kMinMatch - 1;
      if (end_now) end_block(s);
    } else if (literal_pending) {
      if (ct_tally(s, 0, s.window[s.scan - 1])) end_block(s);
      ++s.scan;
      --s.lookahead;
    } else {
      literal_pending = true;
      ++s.scan;
      --s.lookahead;
    }
    if (s.lookahead < kMinLookahead) refill_window(s);
  }
  if (literal_pending) ct_tally(s, 0, s.window[s.scan - 1]);
  return end_last_block(s);
}

}  // namespace

void match_init(TState& s, std::int32_t level, std::uint16_t* flags) {
  if (level < 1 || level > 8) {
    s.error = "bad pack level";
    level = std::clamp(level, 1, 8);  // go on with a level that exists
  }
  std::fill(std::begin(s.head), std::end(s.head), 0u);
  const LevelParameters& p = kLevels[level - 1];
  s.lazy_limit = p.lazy;
  s.good_length = p.good;
  s.nice_length = p.nice;
  s.chain_limit = p.chain;
  if (level <= 2) *flags |= kFlagFastest;
  if (level >= 8) *flags |= kFlagMaximum;

  s.scan = 0;
  s.block_start = 0;
  s.end_of_input = 0;
  s.lookahead = 0;
  s.lookahead = read_input(s, s.window, kWindowSize);
  if (s.end_of_input) return;
  if (s.lookahead < kMinLookahead) refill_window(s);
  s.hash_key = 0;
  update_hash(s, s.window[0]);
  update_hash(s, s.window[1]);
}

std::uint32_t deflate_entry(TState& s) {
  return s.level <= kLastGreedyLevel ? deflate_greedy(s) : deflate_lazy(s);
}
