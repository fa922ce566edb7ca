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
//
// A search's cost is the walk along the chain, one memory access after the
// other, and most candidates on a long chain share only the three hashed
// bytes with the scan position. So each position also goes into a second
// index over four bytes, and once a search holds a match of three bytes it
// follows that index instead, which visits only candidates that can do
// better. Ranks in the links tell how far along the 3-byte chain each of
// them lies, so the search stops exactly where the plain walk would: the
// matches found, and so the output, are the same as with the plain walk.
//
// Following a chain is one memory access after the other, each waiting for
// the last. So each position keeps, beside its previous position in the
// 4-byte index, the one before that: a search reads both at once and waits
// once per two candidates. Each head holds the last two positions with its
// key, and an insert moves that pair down into the new position's entry
// whole, so that it reads no older entry (a cache miss on nearly every byte
// of data that does not repeat). An entry stays true for as long as a
// search may use it, because it is only overwritten a whole window half
// later, when the position it belongs to is out of every search's reach.
//
// In machine code most candidates that share four bytes with the scan
// position share no more than seven, and a search soon holds a match of
// seven. So there is a third index, over eight bytes, and once the best
// match is seven bytes long the search goes on along it, below the last
// candidate the 4-byte walk reached. A position joins it only when its
// eight bytes have been read: the last positions of a long match may lack
// a byte or two until the next read, and wait for it.
//
// Its walks are long in machine code, so its heads and chain hold pairs
// too, of positions alone, so that a pair takes the room of one link; the
// ranks the walk checks are kept beside, by position, and stay true as the
// pairs do.
//
// The 4- and 8-byte indexes have collisions too: positions whose bytes
// differ from the scan position's but hash to the same key. They are passed
// over, but each counts against what is left of the chain limit; a chain
// that holds more of them (an input made for it) sends the search back to
// the 3-byte chain, where the walk resumes and ends as the plain walk does.
// So a search costs at most about three times the chain limit, whatever the
// input, and its result stays the plain walk's.
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

// A link (a hash head or chain entry) holds a window position in its low
// 16 bits and, above them, that position's rank: how many positions with the
// same 3-byte key were inserted before it, modulo 65536. The difference of
// two ranks on one chain is the number of steps between them, which lets a
// search skip along the 4-byte chain and still stop exactly where the walk
// along the 3-byte chain would have stopped.
constexpr std::uint32_t kPositionMask = 0xFFFF;
constexpr int kRankShift = 16;

std::uint32_t position_of(std::uint32_t link) {
  return link & kPositionMask;
}
std::uint32_t rank_of(std::uint32_t link) {
  return link >> kRankShift;
}

std::uint32_t load32(const std::uint8_t* p) {
  std::uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
}

// The 3-byte key: five bits a byte, the first byte's top bits shifted out.
// It is the key of a hash updated byte by byte (key = (key << 5 ^ byte) &
// 0x7FFF), in which only the last three bytes count, computed at once.
std::uint32_t key3_of(const std::uint8_t* string) {
  return ((string[0] << 10) ^ (string[1] << 5) ^ string[2]) & kHashMask;
}

// Multiplicative hash of four bytes to 15 bits.
std::uint32_t key4_of(const std::uint8_t* string) {
  return (load32(string) * kKey4Multiplier) >> (32 - 15);
}

constexpr std::uint32_t kLongKey = 8;  // bytes keyed by the third index

// Multiplicative hash of eight bytes to 15 bits.
std::uint32_t key8_of(const std::uint8_t* string) {
  return static_cast<std::uint32_t>((load64(string) * kKey8Multiplier) >> (64 - 15));
}

// Whether the eight bytes from `position` on have been read, so that its
// 8-byte key is final.
bool long_key_ready(const TState& s, std::uint32_t position) {
  return position + kLongKey <= s.read_end;
}

// The head's pair moves down to the position's chain entry whole, so unlike
// the 4-byte index an insert reads no older entry.
void index8_insert(TState& s, std::uint32_t link) {
  const std::uint32_t position = position_of(link);
  const std::uint32_t key8 = key8_of(s.window + position);
  const TState::TPositionPair last_two = s.head8[key8];
  s.chain8[position & kChainMask] = last_two;
  s.head8[key8] = {static_cast<std::uint16_t>(position), last_two.previous};
  s.rank8[position & kChainMask] = static_cast<std::uint16_t>(rank_of(link));
}

// Links the string at `position` into the hash chains and answers the link
// to the previous position with the same 3-byte key (position 0: none).
// Declared inline, which GCC takes as a hint to inline it into the loops
// that run it for nearly every byte: as a call it cost about a tenth more
// instructions on data that does not compress.
inline std::uint32_t insert_string(TState& s, std::uint32_t position) {
  const std::uint8_t* const string = s.window + position;
  const std::uint32_t key3 = key3_of(string);
  const std::uint32_t previous = s.head[key3];
  s.chain[position & kChainMask] = previous;
  const std::uint32_t rank = (rank_of(previous) + 1) & kPositionMask;
  const std::uint32_t link = position | (rank << kRankShift);
  s.head[key3] = link;
  const std::uint32_t key4 = key4_of(string);
  const TState::TLinkPair last_two4 = s.head4[key4];
  s.chain4[position & kChainMask] = last_two4;
  s.head4[key4] = {link, last_two4.previous};
  if (long_key_ready(s, position)) {
    index8_insert(s, link);
  } else if (!s.end_of_input && s.waiting8_count < std::size(s.waiting8)) {
    s.waiting8[s.waiting8_count++] = link;  // its last bytes come with the next read
  }
  return previous;
}

// Links the strings at positions [from, to) into the hash chains, in order.
void insert_strings(TState& s, std::uint32_t from, std::uint32_t to) {
  for (std::uint32_t position = from; position < to; ++position) insert_string(s, position);
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
  s.heads_set_below = kWindowSize;  // the heads now hold positions of every kind
  std::memcpy(s.window, s.window + kWindowHalf, kWindowHalf);
  s.match_start -= kWindowHalf;
  s.scan -= kWindowHalf;
  s.block_start -= static_cast<std::int32_t>(kWindowHalf);
  const auto slide = [](std::uint32_t& link) {
    link = position_of(link) >= kWindowHalf ? link - kWindowHalf : 0;
  };
  std::for_each(std::begin(s.head), std::end(s.head), slide);
  std::for_each(std::begin(s.chain), std::end(s.chain), slide);
  static_assert(kHashSize == kWindowHalf, "heads and chains of pairs slide in one loop");
  for (TState::TLinkPair* pairs : {s.head4, s.chain4}) {
    for (std::uint32_t i = 0; i < kWindowHalf; ++i) {
      slide(pairs[i].previous);
      slide(pairs[i].before_previous);
    }
  }
  const auto slide_position = [](std::uint16_t& position) {
    position = position >= kWindowHalf ? static_cast<std::uint16_t>(position - kWindowHalf) : 0;
  };
  for (TState::TPositionPair* pairs : {s.head8, s.chain8}) {
    for (std::uint32_t i = 0; i < kWindowHalf; ++i) {
      slide_position(pairs[i].previous);
      slide_position(pairs[i].before_previous);
    }
  }
  std::for_each(s.waiting8, s.waiting8 + s.waiting8_count, slide);
}

// Puts the positions that waited for their eighth byte into the 8-byte
// index, in the order they came, before any later position goes in. Those
// whose bytes never came (the input ended) stay out: no search that uses
// the index can match all eight bytes of one of them.
void index_waiting_positions(TState& s) {
  for (std::uint32_t i = 0; i < s.waiting8_count; ++i) {
    if (long_key_ready(s, position_of(s.waiting8[i]))) index8_insert(s, s.waiting8[i]);
  }
  s.waiting8_count = 0;
}

void refill_window(TState& s) {
  do {
    std::uint32_t free = kWindowSize - s.lookahead - s.scan;
    if (s.scan >= kSlidePoint) {
      slide_window(s);
      free += kWindowHalf;
    }
    if (s.end_of_input) break;
    if (free < 2) {
      s.error = "more < 2";
      break;
    }
    s.lookahead += read_input(s, s.window + s.scan + s.lookahead, free);
  } while (s.lookahead < kMinLookahead && !s.end_of_input);
  s.read_end = s.scan + s.lookahead;
  index_waiting_positions(s);
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

// What a search knows as it goes from candidate to candidate.
struct SearchWalk {
  const std::uint8_t* window;
  const std::uint8_t* here;  // the scan position's bytes
  std::uint32_t limit;       // candidates at or below are too far back, but the first
  std::uint32_t first;       // the first candidate on the 3-byte chain, and its link
  std::uint32_t first_link;
  std::uint32_t steps_allowed;  // how many candidates the plain walk visits at most
  std::uint32_t nice;
  std::uint32_t best;
  std::uint32_t best_start;
  std::uint32_t candidate;    // where the 3-byte walk stands
  std::uint32_t chain_count;  // what is left of its budget
  std::uint32_t unvisited_below;
  std::uint32_t steps;
  bool done;
};

// The 3-byte walk from where it stands to its end: every candidate, judged
// as the plain walk judges it. A longer match must agree at its first two
// bytes, and at the best match's last byte and the one after it: cheap
// rejections, checked before the compare.
void finish_plain_walk(TState& s, SearchWalk& w) {
  const std::uint16_t here_start = load16(w.here);
  while (!w.done) {
    ++w.steps;
    const std::uint8_t* there = w.window + w.candidate;
    if (load16(there) == here_start && load16(there + w.best - 1) == load16(w.here + w.best - 1)) {
      const std::uint32_t length = match_length(w.here, there);
      if (length > w.best) {
        w.best_start = w.candidate;
        w.best = length;
        w.done = length >= w.nice;
      }
    }
    w.candidate = position_of(s.chain[w.candidate & kChainMask]);
    if (w.candidate <= w.limit || --w.chain_count == 0) w.done = true;
  }
}

// Goes on from a match of three bytes or more. Only candidates that share
// four bytes with the scan position can do better, so the walk follows the
// 4-byte chain, over the candidates the 3-byte walk has not reached yet and
// would still reach, passing over the rest; the ranks in the links tell
// where the 3-byte walk would end. A candidate's pair of links is read
// before it is judged, so the next step's memory access is under way
// meanwhile. Once the best match is seven bytes long, only candidates that
// share eight bytes can do better, and the walk goes on along the 8-byte
// chain, below the last candidate it reached.
void search_longer(TState& s, SearchWalk& w) {
  // The walk's state in locals, which the compiler keeps in registers.
  const std::uint8_t* const window = w.window;
  const std::uint8_t* const here = w.here;
  const std::uint32_t first = w.first;
  const std::uint32_t first_link = w.first_link;
  const std::uint32_t steps_allowed = w.steps_allowed;
  const std::uint32_t nice = w.nice;
  std::uint32_t best = w.best;
  std::uint32_t best_start = w.best_start;
  std::uint32_t steps = w.steps;
  std::uint16_t here_end = load16(here + best - 1);
  bool done = false;
  std::uint32_t passes_left = w.chain_count;
  bool too_many_passes = false;
  const auto pass_over = [&] {
    if (--passes_left != 0) return true;
    too_many_passes = true;
    return false;
  };
  // Candidates in [reach_from, reach_from + unvisited) are the ones to visit,
  // those above the limit that the walk has not passed yet: one unsigned
  // compare tells most of them from the rest. unvisited is not 0 here: the
  // 3-byte walk would have ended otherwise.
  const std::uint32_t reach_from = w.limit + 1;
  std::uint32_t unvisited = w.unvisited_below - reach_from;
  // The rank limit on whole links: a candidate lies no higher than the first,
  // so the difference of the two links holds the difference of their ranks
  // (the steps between them on the 3-byte chain) in its upper half, and that
  // of their positions in its lower half.
  const std::uint32_t too_many_steps = steps_allowed << kRankShift;
  // Visits the candidate a link names; false: the walk ends here. A
  // candidate that shares the keyed bytes shares the first two, so only the
  // end of the best match is compared before the rest.
  const auto visit = [&](std::uint32_t link, auto shares_keyed_bytes) {
    ++steps;
    const std::uint32_t candidate = position_of(link);
    std::uint32_t offset = candidate - reach_from;
    if (offset >= unvisited) {
      if (candidate >= reach_from + unvisited) return pass_over();  // the scan position, or visited
      if (candidate != first) return false;                         // too far back, or none
      offset = 0;  // the first, at the limit: any candidate after it is out of reach
    }
    unvisited = offset;
    if (!shares_keyed_bytes(candidate)) return pass_over();  // a colliding key
    if (first_link - link >= too_many_steps) return false;
    const std::uint8_t* there = window + candidate;
    if (load16(there + best - 1) != here_end) return true;
    const std::uint32_t length = match_length(here, there);
    if (length <= best) return true;
    best_start = candidate;
    best = length;
    here_end = load16(here + best - 1);
    done = length >= nice;
    return !done;
  };
  const std::uint32_t here4 = load32(here);
  const auto shares4 = [&](std::uint32_t c) { return load32(window + c) == here4; };
  const bool long_keys = s.lookahead >= kLongKey;  // all eight bytes here are input
  TState::TLinkPair pair4 = s.head4[key4_of(here)];
  bool walk_over = false;
  while (!done && !(long_keys && best >= kLongKey - 1)) {
    const TState::TLinkPair next = s.chain4[position_of(pair4.before_previous) & kChainMask];
    if (!visit(pair4.previous, shares4) || !visit(pair4.before_previous, shares4)) {
      walk_over = true;
      break;
    }
    pair4 = next;
  }
  if (!walk_over && !done) {
    const std::uint64_t here8 = load64(here);
    const auto shares8 = [&](std::uint32_t c) { return load64(window + c) == here8; };
    const auto link8_of = [&](std::uint32_t position) {
      return position | std::uint32_t{s.rank8[position & kChainMask]} << kRankShift;
    };
    for (TState::TPositionPair pair = s.head8[key8_of(here)];;) {
      const TState::TPositionPair next = s.chain8[pair.before_previous & kChainMask];
      if (!visit(link8_of(pair.previous), shares8) ||
          !visit(link8_of(pair.before_previous), shares8)) {
        break;
      }
      pair = next;
    }
  }
  w.best = best;
  w.best_start = best_start;
  w.steps = steps;
  w.done = done;

  // Too many collisions: the rest of the 3-byte walk, from where it was
  // left. Candidates judged on the 4- or 8-byte chain come again and
  // change nothing (none is longer than the best), the others are judged in
  // the plain walk's order.
  if (too_many_passes) finish_plain_walk(s, w);
}

// Where the walk along the 3-byte chain stands when it meets a candidate that
// shares three bytes with the scan position.
struct ChainStand {
  std::uint32_t candidate;
  std::uint32_t chain_count;  // how many candidates it may still visit, that one included
  std::uint32_t steps;        // how many it went through, that one included
};

// The search from where the 3-byte walk stands, its candidate sharing three
// bytes with the scan position; or, when no 3-byte walk ran (null: the
// previous match is three bytes long or more), from the first candidate.
// The rest of the search is search_longer's.
std::uint32_t search_on(TState& s, std::uint32_t link, std::uint32_t limit,
                        const ChainStand* three_bytes) {
  const std::uint32_t first = position_of(link);
  SearchWalk w;
  w.window = s.window;
  w.here = s.window + s.scan;
  w.limit = limit;
  w.first = first;
  w.first_link = link;
  w.steps_allowed = s.prev_length >= s.good_length ? s.chain_limit >> 2 : s.chain_limit;
  w.nice = static_cast<std::uint32_t>(s.nice_length);
  w.best = s.prev_length;
  w.best_start = s.match_start;
  w.candidate = three_bytes != nullptr ? three_bytes->candidate : first;
  w.chain_count = three_bytes != nullptr ? three_bytes->chain_count : w.steps_allowed;
  w.unvisited_below = first + 1;
  w.steps = three_bytes != nullptr ? three_bytes->steps : 0;
  w.done = false;
  if (three_bytes != nullptr) {
    w.best_start = w.candidate;
    w.best = match_length(w.here, w.window + w.candidate);
    w.done = w.best >= w.nice;
    w.unvisited_below = w.candidate;
    w.candidate = position_of(s.chain[w.candidate & kChainMask]);
    if (w.candidate <= w.limit || --w.chain_count == 0) w.done = true;
  }
  if (!w.done) search_longer(s, w);
  s.most_search_steps = std::max(s.most_search_steps, w.steps);
  s.match_start = w.best_start;
  return w.best;
}

// Walks the candidates from `link` on, nearest first: at most chain limit of
// them (a quarter after a good match), none farther back than 32506 bytes
// but the first; answers the longest match (from the previous match length
// on), with no match reaching past the input, and leaves its start in
// match_start, the nearest among equals.
//
// While no match of 3 bytes is known, the walk follows the 3-byte chain to
// the first candidate that shares three bytes with the scan position. On
// data that does not repeat, most searches end there without one, so that
// part is kept lean and declared inline (see insert_string).
//
// Callers search only while three bytes are left: with fewer, any match
// would be cut below three anyway, and the candidate is the one an earlier
// step found, which a slide since then may have moved onto the scan
// position.
inline std::uint32_t search(TState& s, std::uint32_t link) {
  if (static_cast<std::uint32_t>(s.nice_length) > s.lookahead) {
    s.nice_length = static_cast<std::int32_t>(s.lookahead);
  }
  const std::uint32_t scan = s.scan;
  const std::uint32_t first = position_of(link);
  if (scan > kWindowSize - kMinLookahead) {
    s.error = "insufficient lookahead";  // the compare would leave the window
    return std::min(s.prev_length, s.lookahead);
  }
  if (first >= scan) {
    s.error = "no future";  // links only ever lead back
    return std::min(s.prev_length, s.lookahead);
  }
  const std::uint32_t limit = scan > kFarthestDistance ? scan - kFarthestDistance : 0;
  if (s.prev_length >= kMinMatch) return std::min(search_on(s, link, limit, nullptr), s.lookahead);
  // Three bytes equal, compared at once (the fourth byte masked off). No
  // match yet, so the whole chain limit applies (good_length exceeds 3).
  constexpr std::uint32_t kThreeBytes = 0xFFFFFF;
  const std::uint8_t* const window = s.window;
  const std::uint32_t here3 = load32(window + scan) & kThreeBytes;
  std::uint32_t candidate = first;
  std::uint32_t chain_count = s.chain_limit;
  std::uint32_t steps = 1;
  while ((load32(window + candidate) & kThreeBytes) != here3) {
    candidate = position_of(s.chain[candidate & kChainMask]);
    if (candidate <= limit || --chain_count == 0) {
      s.most_search_steps = std::max(s.most_search_steps, steps);
      return s.prev_length;  // none shares three bytes
    }
    ++steps;
  }
  const ChainStand stand{candidate, chain_count, steps};
  return std::min(search_on(s, link, limit, &stand), s.lookahead);
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
    const bool searchable = s.lookahead >= kMinMatch;
    if (searchable) candidate = insert_string(s, s.scan);
    if (searchable && position_of(candidate) != 0 &&
        s.scan - position_of(candidate) <= kFarthestDistance) {
      length = search(s, candidate);
    }
    int end_now;
    if (length >= kMinMatch) {
      end_now = ct_tally(s, s.scan - s.match_start, length - kMinMatch);
      s.lookahead -= length;
      // A short match has its inner positions inserted too; a long one is
      // skipped.
      if (length <= s.lazy_limit && s.lookahead >= kMinMatch) {
        insert_strings(s, s.scan + 1, s.scan + length);
      }
      s.scan += length;
      length = 0;
    } else {
      end_now = ct_tally_literal(s, s.window[s.scan]);
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
    const bool searchable = s.lookahead >= kMinMatch;
    if (searchable) candidate = insert_string(s, s.scan);
    s.prev_length = length;
    const std::uint32_t prev_match = s.match_start;
    length = kMinMatch - 1;

    if (searchable && position_of(candidate) != 0 && s.prev_length < s.lazy_limit &&
        s.scan - position_of(candidate) <= kFarthestDistance) {
      length = search(s, candidate);
      if (length == kMinMatch && s.scan - s.match_start > kTooFar) length = kMinMatch - 1;
    }

    if (s.prev_length >= kMinMatch && length <= s.prev_length) {
      const std::uint32_t insert_end = s.scan + s.lookahead - kMinMatch + 1;
      const int end_now = ct_tally(s, s.scan - 1 - prev_match, s.prev_length - kMinMatch);
      // The match began at the previous position; the scan stands on its
      // second byte. Insert the rest of its positions while they have three
      // bytes of input.
      const std::uint32_t match_end = s.scan + s.prev_length - 1;
      insert_strings(s, s.scan + 1, std::min(match_end, insert_end));
      s.lookahead -= s.prev_length - 1;
      s.scan = match_end;
      literal_pending = false;
      length = kMinMatch - 1;
      if (end_now) end_block(s);
    } else if (literal_pending) {
      if (ct_tally_literal(s, s.window[s.scan - 1])) end_block(s);
      ++s.scan;
      --s.lookahead;
    } else {
      literal_pending = true;
      ++s.scan;
      --s.lookahead;
    }
    if (s.lookahead < kMinLookahead) refill_window(s);
  }
  if (literal_pending) ct_tally_literal(s, s.window[s.scan - 1]);
  return end_last_block(s);
}

// Empties the hash heads for a new entry. After a small entry without a
// slide, the window still holds every string it inserted, so the keys of
// those strings name every head it set: zeroing them costs less than
// zeroing all. (A fresh state's heads are zero and none is marked set.)
constexpr std::uint32_t kClearOneByOneBelow = 4096;

void clear_heads(TState& s) {
  if (s.heads_set_below < kClearOneByOneBelow) {
    for (std::uint32_t position = 0; position < s.heads_set_below; ++position) {
      const std::uint8_t* string = s.window + position;
      s.head[key3_of(string)] = 0;
      s.head4[key4_of(string)] = {};
      s.head8[key8_of(string)] = {};
    }
  } else {
    std::fill(std::begin(s.head), std::end(s.head), 0u);
    std::fill(std::begin(s.head4), std::end(s.head4), TState::TLinkPair{});
    std::fill(std::begin(s.head8), std::end(s.head8), TState::TPositionPair{});
  }
  s.heads_set_below = 0;
}

// Every position the entry inserted lies below the final scan position,
// unless the window slid meanwhile.
void note_heads_set(TState& s) {
  if (s.heads_set_below != kWindowSize) s.heads_set_below = s.scan;
}

}  // namespace

void match_init(TState& s, std::int32_t level, std::uint16_t* flags) {
  if (level < 1 || level > 8) {
    s.error = "bad pack level";
    level = std::clamp(level, 1, 8);  // go on with a level that exists
  }
  clear_heads(s);
  s.most_search_steps = 0;
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
  s.waiting8_count = 0;
  s.lookahead = read_input(s, s.window, kWindowSize);
  s.read_end = s.lookahead;
  if (s.end_of_input) return;
  if (s.lookahead < kMinLookahead) refill_window(s);
}

std::uint32_t deflate_entry(TState& s) {
  const std::uint32_t size = s.level <= kLastGreedyLevel ? deflate_greedy(s) : deflate_lazy(s);
  note_heads_set(s);
  return size;
}
