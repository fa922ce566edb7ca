// The back half of the deflate compressor: it collects the symbols of a block
// and writes the block in the deflate format.
//
// The match finder hands over one symbol at a time through ct_tally: a
// literal byte or a match (distance, length). The whole block waits in the
// literal, distance and flag buffers, so that its trees are built from exact
// frequencies before any of it is written. ct_end_block then weighs three
// ways of writing the block and takes the smallest: stored (the raw bytes,
// possible only while they are all still in the window), the fixed codes, or
// dynamic codes with a tree header; a tie goes to the fixed codes.
//
// Dynamic codes are Huffman codes limited to 15 bits (7 for the code-length
// code). make_tree builds the tree with a heap, gen_lengths turns depths into
// lengths and repairs any that overflow the limit, gen_codes hands out the
// canonical codes. The code lengths themselves travel run-length coded with
// the code-length code (count_length_runs, emit_length_runs).
//
// Bits collect in a 32-bit buffer from its least significant bit and leave it
// 16 at a time; codes are stored bit-reversed so no per-bit work is needed.
// The symbol loop gathers a whole symbol's bits in a 64-bit word first.
// Output goes to the caller's buffer and through flush_fn whenever it fills
// and at every byte alignment; stored bytes go straight from the window.
//
// Internal checks that can only fail on a fault of this code record a message
// in state.error and carry on; the caller then fails the entry.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "archive/Deflate.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "the symbol loop stores its bit word as bytes, lowest first");

constexpr int kMaxCodeLength = 15;           // longest literal/length or distance code
constexpr int kMaxCodeLengthCodeLength = 7;  // longest code of the code-length code
constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kLengthCodes = 29;
constexpr std::uint32_t kFarthestDistance = 32506;  // the match finder's limit
constexpr std::uint16_t kUnclassified = 0xFFFF;     // attributes word asking for a text guess
constexpr int kEndOfLengths = 0xFFFF;  // the length "after" the last symbol: differs from any

// Extra bits of each length code, each distance code and each code-length
// code, as the deflate format defines them.
constexpr std::int32_t kLengthExtraBits[kLengthCodes] = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::int32_t kDistanceExtraBits[kDistanceSymbols] = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::int32_t kCodeLengthExtraBits[kCodeLengthSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                   0, 0, 0, 0, 0, 0, 2, 3, 7};

// The order in which the tree header sends the code-length code's lengths:
// the format's guess at which are most often unused, so they come last.
constexpr std::uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr int kRepeatPrevious = 16;  // repeat the previous length 3..6 times (2 extra bits)
constexpr int kRepeatZero = 17;      // 3..10 zeros (3 extra bits)
constexpr int kRepeatZeroLong = 18;  // 11..138 zeros (7 extra bits)

std::uint32_t distance_code_of(const TState& s, std::uint32_t distance_minus_one) {
  return distance_minus_one < 256 ? s.distance_code[distance_minus_one]
                                  : s.distance_code[256 + (distance_minus_one >> 7)];
}

std::uint32_t reverse_bits(std::uint32_t code, int length) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) {
    reversed = (reversed << 1) | (code & 1);
    code >>= 1;
  }
  return reversed;
}

// ---------------------------------------------------------------- bit output

// Hands the output buffer to the caller. Should the caller leave bytes
// untaken, they are dropped so that the buffer never overflows; the caller
// records its own write failure.
void flush_output(TState& s) {
  s.flush_fn(s.param, s.out_buffer, &s.out_offset);
  s.out_offset = 0;
}

void put_byte(TState& s, std::uint8_t byte) {
  if (s.out_offset >= s.out_size) flush_output(s);
  s.out_buffer[s.out_offset++] = byte;
}

void put_short(TState& s, std::uint32_t value) {
  if (s.out_offset >= s.out_size - 1) flush_output(s);
  s.out_buffer[s.out_offset++] = static_cast<std::uint8_t>(value);
  s.out_buffer[s.out_offset++] = static_cast<std::uint8_t>(value >> 8);
}

void put_bits(TState& s, std::uint32_t value, int length) {
  if (length < 1 || length > 15) {
    s.error = "invalid length";
    return;
  }
  s.bits_produced += length;
  s.bit_buffer |= value << s.bit_count;
  s.bit_count += length;
  if (s.bit_count > 16) {
    put_short(s, s.bit_buffer);
    s.bit_count -= 16;
    s.bit_buffer = value >> (length - s.bit_count);
  }
}

void put_code(TState& s, int symbol, const TTreeEntry* tree) {
  put_bits(s, tree[symbol].freq_code, tree[symbol].parent_len);
}

void bits_align(TState& s) {
  if (s.bit_count > 8) {
    put_short(s, s.bit_buffer);
  } else if (s.bit_count > 0) {
    put_byte(s, static_cast<std::uint8_t>(s.bit_buffer));
  }
  flush_output(s);
  s.bit_buffer = 0;
  s.bit_count = 0;
  s.bits_produced = (s.bits_produced + 7) & ~7u;
}

// The block's bytes go straight from the window to the caller, behind the
// length and its complement; they never pass through the output buffer.
void put_stored_block(TState& s, const std::uint8_t* data, std::uint32_t length) {
  bits_align(s);
  put_short(s, length);
  put_short(s, ~length & 0xFFFF);
  s.bits_produced += 32;
  flush_output(s);
  std::uint32_t count = length;
  s.flush_fn(s.param, data, &count);
  s.bits_produced += 8 * length;
}

// ---------------------------------------------------------------- trees

void start_block(TState& s) {
  for (int n = 0; n < kLiteralLengthSymbols; ++n) s.literal_tree[n].freq_code = 0;
  for (int n = 0; n < kDistanceSymbols; ++n) s.distance_tree[n].freq_code = 0;
  for (int n = 0; n < kCodeLengthSymbols; ++n) s.code_length_tree[n].freq_code = 0;
  s.literal_tree[kEndOfBlock].freq_code = 1;
  s.optimal_length = 0;
  s.fixed_length = 0;
  // Only matches set their flag bits, so the block's flag bytes start clear.
  std::fill_n(s.flag_buffer, (s.last_lit + 7) / 8, std::uint8_t{0});
  s.last_lit = 0;
  s.last_dist = 0;
}

// Heap order: the lower frequency first; between equal frequencies the
// shallower subtree, which keeps the tree flat and the lengths short. A
// node's order value holds both, frequency above depth, so that one compare
// of two values orders two nodes: a comes first when order a <= order b.
std::uint32_t heap_order_of(std::uint32_t frequency, std::uint32_t depth) {
  return frequency << 8 | depth;
}
std::uint32_t depth_of(std::uint32_t order) {
  return order & 0xFF;
}

// Which child a node moves down past is a coin toss on real frequencies, so
// it is chosen without a branch, which the processor would guess wrong at
// about every other level.
void sift_down(TState& s, int k) {
  int* const heap = s.heap;
  const std::uint32_t* const order = s.heap_order;
  const int length = s.heap_length;
  const int node = heap[k];
  const std::uint32_t node_order = order[node];
  int child = k << 1;
  while (child <= length) {
    // Between equal children the right one; heap[length + 1] lies inside
    // the array and is read, never chosen.
    const std::uint32_t left = order[heap[child]];
    const std::uint32_t right = order[heap[child + 1]];
    const bool take_right = (child < length) & (right <= left);
    const std::uint32_t child_order = take_right ? right : left;
    child += take_right;
    if (node_order <= child_order) break;
    heap[k] = heap[child];
    k = child;
    child <<= 1;
  }
  heap[k] = node;
}

std::int32_t extra_bits_of(const TTreeDesc& desc, int symbol) {
  return symbol >= desc.first_extra ? desc.extra_bits[symbol - desc.first_extra] : 0;
}

// Gives every symbol of the built tree its code length, at most the tree's
// limit, and adds the block's cost in this tree (and in the fixed table) to
// the block's sizes. The sorted region lists the nodes from the root down,
// so a parent's length is known before its children's; the length then
// replaces the parent link in the same field.
void gen_lengths(TState& s, const TTreeDesc& desc) {
  TTreeEntry* tree = desc.dynamic_tree;
  const TTreeEntry* fixed = desc.fixed_table;
  const int max_length = desc.max_length;
  std::fill(std::begin(s.length_counts), std::end(s.length_counts), std::uint16_t{0});

  tree[s.heap[s.sorted_start]].parent_len = 0;
  int overflow = 0;
  for (int h = s.sorted_start + 1; h < kHeapSize; ++h) {
    const int n = s.heap[h];
    int bits = tree[tree[n].parent_len].parent_len + 1;
    if (bits > max_length) {
      bits = max_length;
      ++overflow;
    }
    tree[n].parent_len = static_cast<std::uint16_t>(bits);
    if (n > desc.max_code) continue;  // an inner node
    ++s.length_counts[bits];
    const std::uint32_t extra = extra_bits_of(desc, n);
    const std::uint32_t freq = tree[n].freq_code;
    s.optimal_length += freq * (bits + extra);
    if (fixed) s.fixed_length += freq * (fixed[n].parent_len + extra);
  }
  if (overflow == 0) return;

  // Each round moves one leaf from the deepest level below the limit one
  // level down, which makes room for two leaves there: one from that level's
  // former place and one of the overflowing leaves.
  do {
    int bits = max_length - 1;
    while (s.length_counts[bits] == 0) --bits;
    --s.length_counts[bits];
    s.length_counts[bits + 1] += 2;
    --s.length_counts[max_length];
    overflow -= 2;
  } while (overflow > 0);

  // Hand the lengths out again, the longest to the least frequent symbols.
  int h = kHeapSize;
  for (int bits = max_length; bits != 0; --bits) {
    int count = s.length_counts[bits];
    while (count != 0) {
      const int m = s.heap[--h];
      if (m > desc.max_code) continue;
      if (tree[m].parent_len != bits) {
        s.optimal_length +=
            (bits - tree[m].parent_len) * static_cast<std::uint32_t>(tree[m].freq_code);
        tree[m].parent_len = static_cast<std::uint16_t>(bits);
      }
      --count;
    }
  }
}

// Canonical codes: the codes of each length are consecutive, in symbol order.
void gen_codes(TState& s, TTreeEntry* tree, int max_code) {
  std::uint32_t next_code[kMaxCodeLength + 1] = {};
  std::uint32_t code = 0;
  for (int bits = 1; bits <= kMaxCodeLength; ++bits) {
    code = (code + s.length_counts[bits - 1]) << 1;
    next_code[bits] = code;
  }
  if (code + s.length_counts[kMaxCodeLength] - 1 != (1u << kMaxCodeLength) - 1) {
    s.error = "inconsistent bit counts";
  }
  for (int n = 0; n <= max_code; ++n) {
    const int length = tree[n].parent_len;
    if (length == 0) continue;
    tree[n].freq_code = static_cast<std::uint16_t>(reverse_bits(next_code[length]++, length));
  }
}

void make_tree(TState& s, TTreeDesc& desc) {
  TTreeEntry* tree = desc.dynamic_tree;
  const TTreeEntry* fixed = desc.fixed_table;
  int max_code = -1;

  s.heap_length = 0;
  s.sorted_start = kHeapSize;
  for (int n = 0; n < desc.symbols; ++n) {
    if (tree[n].freq_code != 0) {
      s.heap[++s.heap_length] = max_code = n;
      s.heap_order[n] = heap_order_of(tree[n].freq_code, 0);
    } else {
      tree[n].parent_len = 0;
    }
  }

  // The format needs at least two codes: add symbols that never occur, and
  // take their cost back out of the block's sizes.
  while (s.heap_length < 2) {
    const int node = max_code < 2 ? ++max_code : 0;
    s.heap[++s.heap_length] = node;
    tree[node].freq_code = 1;
    s.heap_order[node] = heap_order_of(1, 0);
    --s.optimal_length;
    if (fixed) s.fixed_length -= fixed[node].parent_len;
  }
  desc.max_code = max_code;

  for (int n = s.heap_length / 2; n >= 1; --n) sift_down(s, n);

  // Join the two least frequent nodes until one is left. Both go to the
  // sorted region, which ends up listing every node by frequency.
  int next_inner = desc.symbols;
  do {
    const int n = s.heap[1];
    s.heap[1] = s.heap[s.heap_length--];
    sift_down(s, 1);
    const int m = s.heap[1];
    s.heap[--s.sorted_start] = n;
    s.heap[--s.sorted_start] = m;

    tree[next_inner].freq_code = static_cast<std::uint16_t>(tree[n].freq_code + tree[m].freq_code);
    const std::uint32_t depth =
        (std::max(depth_of(s.heap_order[n]), depth_of(s.heap_order[m])) + 1) & 0xFF;
    s.heap_order[next_inner] = heap_order_of(tree[next_inner].freq_code, depth);
    tree[n].parent_len = tree[m].parent_len = static_cast<std::uint16_t>(next_inner);
    s.heap[1] = next_inner++;
    sift_down(s, 1);
  } while (s.heap_length >= 2);
  s.heap[--s.sorted_start] = s.heap[1];

  gen_lengths(s, desc);
  gen_codes(s, tree, max_code);
}

// ---------------------------------------------------------------- length runs

// The run-length coding of a tree's code lengths, shared by counting and
// emitting. A run holds equal lengths, up to max_run long; shorter than
// min_run it goes out as single lengths, else as one of the repeat codes.
struct RunLimits {
  int max_run;
  int min_run;
};

RunLimits limits_after(int length, int next_length) {
  if (next_length == 0) return {138, 3};     // zeros have the long repeat codes
  if (length == next_length) return {6, 3};  // repeat 16 continues the same length
  return {7, 4};                             // a new length is sent once before it can be repeated
}

template <typename OnRun>
void walk_length_runs(const TTreeEntry* tree, int max_code, OnRun on_run) {
  int previous = -1;
  int next = tree[0].parent_len;
  RunLimits limits = next == 0 ? RunLimits{138, 3} : RunLimits{7, 4};
  int count = 0;
  for (int n = 0; n <= max_code; ++n) {
    const int length = next;
    next = n + 1 <= max_code ? tree[n + 1].parent_len : kEndOfLengths;
    if (++count < limits.max_run && length == next) continue;
    on_run(length, count, previous, limits.min_run);
    count = 0;
    previous = length;
    limits = limits_after(length, next);
  }
}

void count_length_runs(TState& s, const TTreeEntry* tree, int max_code) {
  TTreeEntry* counts = s.code_length_tree;
  walk_length_runs(tree, max_code, [counts](int length, int count, int previous, int min_run) {
    if (count < min_run) {
      counts[length].freq_code = static_cast<std::uint16_t>(counts[length].freq_code + count);
    } else if (length != 0) {
      if (length != previous) ++counts[length].freq_code;
      ++counts[kRepeatPrevious].freq_code;
    } else if (count <= 10) {
      ++counts[kRepeatZero].freq_code;
    } else {
      ++counts[kRepeatZeroLong].freq_code;
    }
  });
}

void emit_length_runs(TState& s, const TTreeEntry* tree, int max_code) {
  const TTreeEntry* codes = s.code_length_tree;
  walk_length_runs(tree, max_code, [&s, codes](int length, int count, int previous, int min_run) {
    if (count < min_run) {
      for (; count != 0; --count) put_code(s, length, codes);
    } else if (length != 0) {
      if (length != previous) {
        put_code(s, length, codes);
        --count;
      }
      if (count < 3 || count > 6) s.error = " 3_6?";
      put_code(s, kRepeatPrevious, codes);
      put_bits(s, count - 3, 2);
    } else if (count <= 10) {
      put_code(s, kRepeatZero, codes);
      put_bits(s, count - 3, 3);
    } else {
      put_code(s, kRepeatZeroLong, codes);
      put_bits(s, count - 11, 7);
    }
  });
}

// Builds the code-length code over both trees' lengths and answers the
// position, in send order, of the last code-length code to send.
int make_length_tree(TState& s) {
  count_length_runs(s, s.literal_tree, s.literal_desc.max_code);
  count_length_runs(s, s.distance_tree, s.distance_desc.max_code);
  make_tree(s, s.code_length_desc);
  int last = kCodeLengthSymbols - 1;
  for (; last >= 3; --last) {
    if (s.code_length_tree[kCodeLengthOrder[last]].parent_len != 0) break;
  }
  last = std::max(last, 3);  // the header sends at least four
  s.optimal_length += 3 * (last + 1) + 5 + 5 + 4;
  return last;
}

void emit_tree_header(TState& s, int literal_codes, int distance_codes, int length_codes) {
  if (literal_codes < 257 || distance_codes < 1 || length_codes < 4) s.error = "not enough codes";
  if (literal_codes > kLiteralLengthSymbols || distance_codes > kDistanceSymbols ||
      length_codes > kCodeLengthSymbols) {
    s.error = "too many codes";
  }
  put_bits(s, literal_codes - 257, 5);
  put_bits(s, distance_codes - 1, 5);
  put_bits(s, length_codes - 4, 4);
  for (int rank = 0; rank < length_codes; ++rank) {
    put_bits(s, s.code_length_tree[kCodeLengthOrder[rank]].parent_len, 3);
  }
  emit_length_runs(s, s.literal_tree, literal_codes - 1);
  emit_length_runs(s, s.distance_tree, distance_codes - 1);
}

// The block's symbols are the encoder's bulk: their bits gather in a local
// 64-bit word, which holds a whole match (at most 48 bits) beside the 16
// bits left over, and leave it 16 at a time exactly as put_bits lets them.
void emit_block_symbols(TState& s, const TTreeEntry* literal_codes,
                        const TTreeEntry* distance_codes) {
  std::uint64_t bits = s.bit_buffer;
  int count = s.bit_count;
  std::uint32_t produced = 0;
  const auto add = [&](std::uint32_t value, int length) {
    bits |= static_cast<std::uint64_t>(value) << count;
    count += length;
    produced += static_cast<std::uint32_t>(length);
  };
  const auto add_code = [&](const TTreeEntry& entry) {
    if (entry.parent_len < 1 || entry.parent_len > 15) {
      s.error = "invalid length";
      return;
    }
    add(entry.freq_code, entry.parent_len);
  };
  // Whole 16-bit units leave at once, in one 8-byte store of which only
  // they count, while the buffer has room for it; near its end one at a
  // time, so that it fills and flushes exactly as put_bits fills it.
  const auto drain = [&] {
    if (count <= 16) return;
    if (s.out_offset + 8 <= s.out_size) {
      const int units = (count - 1) / 16;  // all but the last 1 to 16 bits
      std::memcpy(s.out_buffer + s.out_offset, &bits, 8);
      s.out_offset += 2 * static_cast<std::uint32_t>(units);
      bits >>= 16 * units;
      count -= 16 * units;
      return;
    }
    while (count > 16) {
      put_short(s, static_cast<std::uint32_t>(bits));
      bits >>= 16;
      count -= 16;
    }
  };

  std::uint32_t distance_index = 0;
  std::uint32_t flags = 0;
  for (std::uint32_t i = 0; i < s.last_lit; ++i) {
    if ((i & 7) == 0) flags = s.flag_buffer[i >> 3];
    const std::uint32_t lc = s.literal_buffer[i];
    if ((flags & 1) == 0) {
      add_code(literal_codes[lc]);
    } else {
      std::uint32_t code = s.length_code[lc];
      add_code(literal_codes[code + kFirstLengthSymbol]);
      if (const int extra = kLengthExtraBits[code]; extra != 0) {
        add(lc - s.length_base[code], extra);
      }
      const std::uint32_t dist = s.distance_buffer[distance_index++];
      code = distance_code_of(s, dist);
      if (code >= kDistanceSymbols) {
        s.error = "bad d_code";
        code = kDistanceSymbols - 1;
      }
      add_code(distance_codes[code]);
      if (const int extra = kDistanceExtraBits[code]; extra != 0) {
        add(dist - s.distance_base[code], extra);
      }
    }
    drain();
    flags >>= 1;
  }
  add_code(literal_codes[kEndOfBlock]);
  drain();
  s.bit_buffer = static_cast<std::uint32_t>(bits);
  s.bit_count = count;
  s.bits_produced += produced;
}

// Guesses whether the entry is text: few bytes outside printable ASCII.
void classify_entry(TState& s) {
  std::uint32_t binary = 0;
  std::uint32_t ascii = 0;
  for (int n = 0; n < 7; ++n) binary += s.literal_tree[n].freq_code;
  for (int n = 7; n < 128; ++n) ascii += s.literal_tree[n].freq_code;
  for (int n = 128; n < 256; ++n) binary += s.literal_tree[n].freq_code;
  *s.attributes = binary > (ascii >> 2) ? 0 : 1;
}

void build_tables(TState& s) {
  s.literal_desc = {s.literal_tree,
                    s.fixed_literal_table,
                    kLengthExtraBits,
                    kFirstLengthSymbol,
                    kLiteralLengthSymbols,
                    kMaxCodeLength,
                    0};
  s.distance_desc = {s.distance_tree,
                     s.fixed_distance_table,
                     kDistanceExtraBits,
                     0,
                     kDistanceSymbols,
                     kMaxCodeLength,
                     0};
  s.code_length_desc = {
      s.code_length_tree,       nullptr, kCodeLengthExtraBits, 0, kCodeLengthSymbols,
      kMaxCodeLengthCodeLength, 0};

  // Each length code covers 2^extra consecutive lengths; length 258 has a
  // code of its own (28) instead of the last value of code 27.
  int length = 0;
  for (int code = 0; code < kLengthCodes - 1; ++code) {
    s.length_base[code] = length;
    for (int n = 0; n < (1 << kLengthExtraBits[code]); ++n) {
      s.length_code[length++] = static_cast<std::uint8_t>(code);
    }
  }
  if (length != 256) s.error = "ct_init: length != 256";
  s.length_base[kLengthCodes - 1] = 255;
  s.length_code[255] = kLengthCodes - 1;

  // Distances up to 256 map one to one; beyond, one entry covers 128.
  int dist = 0;
  for (int code = 0; code < 16; ++code) {
    s.distance_base[code] = dist;
    for (int n = 0; n < (1 << kDistanceExtraBits[code]); ++n) {
      s.distance_code[dist++] = static_cast<std::uint8_t>(code);
    }
  }
  if (dist != 256) s.error = "ct_init: dist != 256";
  dist >>= 7;
  for (int code = 16; code < kDistanceSymbols; ++code) {
    s.distance_base[code] = dist << 7;
    for (int n = 0; n < (1 << (kDistanceExtraBits[code] - 7)); ++n) {
      s.distance_code[256 + dist++] = static_cast<std::uint8_t>(code);
    }
  }
  if (256 + dist != 512) s.error = "ct_init: 256+dist != 512";

  // The fixed codes of the format. Symbols 286 and 287 never occur but take
  // part in handing out the codes.
  std::fill(std::begin(s.length_counts), std::end(s.length_counts), std::uint16_t{0});
  for (int n = 0; n < 288; ++n) {
    const int bits = n < 144 ? 8 : n < 256 ? 9 : n < 280 ? 7 : 8;
    s.fixed_literal_table[n].parent_len = static_cast<std::uint16_t>(bits);
    ++s.length_counts[bits];
  }
  gen_codes(s, s.fixed_literal_table, 287);
  for (int n = 0; n < kDistanceSymbols; ++n) {
    s.fixed_distance_table[n].parent_len = 5;
    s.fixed_distance_table[n].freq_code = static_cast<std::uint16_t>(reverse_bits(n, 5));
  }
}

}  // namespace

void bits_start(TState& s, std::uint8_t* buffer, std::uint32_t size) {
  s.out_buffer = buffer;
  s.out_size = size;
  s.out_offset = 0;
  s.bit_buffer = 0;
  s.bit_count = 0;
  s.bits_produced = 0;
}

void ct_init(TState& s, std::uint16_t* attributes) {
  s.attributes = attributes;
  s.compressed_bytes = 0;
  s.compressed_bits = 0;
  if (s.fixed_distance_table[0].parent_len != 0) return;  // built for an earlier entry
  build_tables(s);
  s.last_lit = kLiteralBufferSize;  // whatever the state held: every flag byte clear
  start_block(s);
}

int ct_tally(TState& s, std::uint32_t dist, std::uint32_t lc) {
  if (dist == 0) return ct_tally_literal(s, static_cast<std::uint8_t>(lc));
  --dist;
  if (dist >= kFarthestDistance || lc > 255 || distance_code_of(s, dist & 0x7FFF) >= 30) {
    s.error = "ct_tally: bad match";
    dist &= 0x7FFF;
    lc &= 0xFF;
  }
  s.literal_buffer[s.last_lit++] = static_cast<std::uint8_t>(lc);
  ++s.literal_tree[kFirstLengthSymbol + s.length_code[lc]].freq_code;
  ++s.distance_tree[distance_code_of(s, dist)].freq_code;
  s.distance_buffer[s.last_dist++] = static_cast<std::uint16_t>(dist);
  s.flag_buffer[(s.last_lit - 1) >> 3] |= static_cast<std::uint8_t>(1 << ((s.last_lit - 1) & 7));
  return ct_symbol_tallied(s);
}

bool ct_block_pays_to_end(const TState& s) {
  std::uint32_t estimate = s.last_lit * 8;
  for (int code = 0; code < kDistanceSymbols; ++code) {
    estimate += s.distance_tree[code].freq_code * (5 + kDistanceExtraBits[code]);
  }
  estimate >>= 3;
  const auto covered = static_cast<std::uint32_t>(static_cast<std::int64_t>(s.scan) -
                                                  static_cast<std::int64_t>(s.block_start));
  return s.last_dist < (s.last_lit >> 1) && estimate < (covered >> 1);
}

std::uint32_t ct_end_block(TState& s, const std::uint8_t* data, std::uint32_t stored_len,
                           int last) {
  if (*s.attributes == kUnclassified) classify_entry(s);

  make_tree(s, s.literal_desc);
  make_tree(s, s.distance_desc);
  const int last_length_code = make_length_tree(s);

  // Byte sizes with the 3 header bits, rounded up.
  std::uint32_t best = (s.optimal_length + 3 + 7) >> 3;
  const std::uint32_t fixed = (s.fixed_length + 3 + 7) >> 3;
  if (fixed <= best) best = fixed;

  const auto header = [last](std::uint32_t type) { return (type << 1) + (last ? 1u : 0u); };
  if (data != nullptr && stored_len + 4 <= best) {
    put_bits(s, header(0), 3);
    s.compressed_bytes += ((s.compressed_bits + 3 + 7) >> 3) + stored_len + 4;
    s.compressed_bits = 0;
    put_stored_block(s, data, stored_len);
  } else if (fixed == best) {
    put_bits(s, header(1), 3);
    emit_block_symbols(s, s.fixed_literal_table, s.fixed_distance_table);
    s.compressed_bits += 3 + s.fixed_length;
    s.compressed_bytes += s.compressed_bits >> 3;
    s.compressed_bits &= 7;
  } else {
    put_bits(s, header(2), 3);
    emit_tree_header(s, s.literal_desc.max_code + 1, s.distance_desc.max_code + 1,
                     last_length_code + 1);
    emit_block_symbols(s, s.literal_tree, s.distance_tree);
    s.compressed_bits += 3 + s.optimal_length;
    s.compressed_bytes += s.compressed_bits >> 3;
    s.compressed_bits &= 7;
  }
  if (8 * s.compressed_bytes + s.compressed_bits != s.bits_produced) {
    s.error = "bad compressed size";
  }

  start_block(s);
  if (last) {
    bits_align(s);
    s.compressed_bits += 7;
  }
  return s.compressed_bytes + (s.compressed_bits >> 3);
}
