// The deflate compressor that the zip writer runs for every compressed entry.
//
// It is a set of plain operations on one state object, TState, which owns
// every buffer the compressor needs: the 64 KiB sliding window, the hash
// chains, the symbol buffers of the current block and the trees. The zip
// writer allocates one TState per archive (about 1.3 MB, so on the heap) and
// reuses it for every entry; compressing allocates nothing. A TState starts
// zeroed (value-initialised, as std::make_unique<TState>() makes it): the
// first entry relies on empty hash heads and unbuilt code tables.
//
// Driving one entry, in this order (compress_entry does all of it):
//   1. set param, level, read_fn and flush_fn and set error to null (the
//      code tables are built at the first entry and kept; setting
//      fixed_distance_table[0].parent_len to 0 has them built again);
//   2. bits_start(state, output buffer, its size);
//   3. ct_init(state, &internal attributes word);
//   4. match_init(state, level, &general-purpose flags word);
//   5. deflate_entry(state), which returns the entry's compressed size.
// When deflate_entry returns, every compressed byte has gone through
// flush_fn. A failed internal check leaves its message in `error`; the entry
// is then unusable, and processing has gone on regardless.
//
// The input arrives through read_fn; the output leaves through flush_fn, from
// the caller's output buffer, or straight from the window for stored blocks.
#pragma once

#include <cstdint>

struct TState;

// Places up to `size` bytes of the entry's input at `buffer` and answers how
// many; 0 or 0xFFFFFFFF ends the input.
using read_fn_t = std::uint32_t (*)(TState& state, std::uint8_t* buffer, std::uint32_t size);

// Writes *count bytes from `buffer` and sets *count to 0 once they are
// written; does nothing when *count is 0. The compressor does not look at the
// answer: a failed write is the caller's to record.
using flush_fn_t = bool (*)(void* param, const std::uint8_t* buffer, std::uint32_t* count);

// One entry of a tree or code table. While a tree is built the fields hold a
// node's frequency and its parent; afterwards the symbol's code (stored
// bit-reversed, ready to leave least significant bit first) and its length.
struct TTreeEntry {
  std::uint16_t freq_code;
  std::uint16_t parent_len;
};

// What make_tree needs to know about one of the three trees.
struct TTreeDesc {
  TTreeEntry* dynamic_tree;
  const TTreeEntry* fixed_table;   // null for the code-length tree
  const std::int32_t* extra_bits;  // per symbol, from first_extra on
  std::int32_t first_extra;
  std::int32_t symbols;
  std::int32_t max_length;
  std::int32_t max_code;  // largest symbol with a nonzero frequency in the last build
};

inline constexpr std::uint32_t kWindowSize = 65536;  // two halves of the 32 KiB distance window
inline constexpr std::uint32_t kWindowHalf = 32768;
inline constexpr std::uint32_t kHashSize = 32768;  // 15-bit hash keys
// The match search keys four and eight bytes as (w * multiplier) >> (bits
// - 15), w the little-endian word. The tests derive colliding inputs from
// these, so they must stay the multipliers the search uses.
inline constexpr std::uint32_t kKey4Multiplier = 2654435761u;
inline constexpr std::uint64_t kKey8Multiplier = 0x9E3779B97F4A7C15ull;
inline constexpr std::uint32_t kLiteralBufferSize = 32768;
inline constexpr std::uint32_t kFlagBufferSize = kLiteralBufferSize / 8;  // one bit a symbol
inline constexpr int kLiteralLengthSymbols = 286;  // 256 bytes, end of block, 29 length codes
inline constexpr int kDistanceSymbols = 30;
inline constexpr int kCodeLengthSymbols = 19;
inline constexpr int kHeapSize = 2 * kLiteralLengthSymbols + 1;  // symbols and inner nodes

struct TState {
  // Set by the caller before each entry.
  void* param;  // handed back to flush_fn
  std::int32_t level;
  read_fn_t read_fn;
  flush_fn_t flush_fn;

  // Trees and the current block.
  TTreeEntry literal_tree[kHeapSize];
  TTreeEntry distance_tree[2 * kDistanceSymbols + 1];
  TTreeEntry fixed_literal_table[288];
  TTreeEntry fixed_distance_table[kDistanceSymbols];
  TTreeEntry code_length_tree[2 * kCodeLengthSymbols + 1];
  TTreeDesc literal_desc;
  TTreeDesc distance_desc;
  TTreeDesc code_length_desc;
  std::uint16_t length_counts[16];  // codes of each length 0..15
  std::int32_t heap[kHeapSize];
  std::int32_t heap_length;
  std::int32_t sorted_start;            // nodes by increasing frequency from here to the heap's end
  std::uint32_t heap_order[kHeapSize];  // by node: its frequency << 8 | its depth
  std::uint8_t length_code[256];        // match length - 3 -> length code 0..28
  std::uint8_t distance_code[512];      // distance - 1 (< 256), then 256 + ((distance - 1) >> 7)
  std::int32_t length_base[29];
  std::int32_t distance_base[30];
  std::uint8_t literal_buffer[kLiteralBufferSize];    // literal byte or match length - 3
  std::uint16_t distance_buffer[kLiteralBufferSize];  // distance - 1 of each match
  std::uint8_t flag_buffer[kFlagBufferSize];          // bit set: the symbol is a match
  std::uint32_t last_lit;                             // symbols in the block
  std::uint32_t last_dist;                            // matches in the block
  std::uint32_t optimal_length;  // block bits with its dynamic trees, tree header included
  std::uint32_t fixed_length;    // block bits with the fixed codes
  std::uint32_t compressed_bytes;
  std::uint32_t compressed_bits;  // 0..7 bits beyond compressed_bytes
  std::uint16_t* attributes;      // the entry's internal attributes: 0xFFFF asks for a text guess

  // Bit output.
  std::uint32_t bit_buffer;  // filled from its least significant bit
  std::int32_t bit_count;    // 0..16 between calls
  std::uint8_t* out_buffer;
  std::uint32_t out_offset;
  std::uint32_t out_size;
  std::uint32_t bits_produced;

  // Match finder. Heads and chain entries are links: a window position in
  // the low 16 bits (0: none) and above it the position's rank in its chain.
  std::uint8_t window[kWindowSize];
  std::uint32_t chain[kWindowHalf];  // by position & 0x7FFF: the previous position with that key
  std::uint32_t head[kHashSize];     // by 3-byte key: the last position inserted
  std::int32_t block_start;          // negative once the window slid past it
  std::uint32_t prev_length;
  std::uint32_t scan;
  std::uint32_t match_start;
  std::int32_t end_of_input;
  std::uint32_t lookahead;  // valid bytes from scan on
  std::uint32_t chain_limit;
  std::uint32_t lazy_limit;
  std::uint32_t good_length;
  std::int32_t nice_length;
  // A second index over four bytes, by which a search passes over candidates
  // that share only three bytes with the string it looks for.
  struct TLinkPair {
    std::uint32_t previous;
    std::uint32_t before_previous;
  };
  // By 4-byte key: the last position inserted and the one before it; by
  // position & 0x7FFF: the previous position with that key and the one
  // before it, side by side. A search reads both at once, so following the
  // chain waits for memory once every two candidates instead of every one.
  TLinkPair head4[kHashSize];
  TLinkPair chain4[kWindowHalf];
  // A third index, over eight bytes, for searches that already hold a match
  // of seven: most candidates that share four bytes with the scan position
  // share no more than seven either. Its heads and chain hold two positions
  // each, as the 4-byte chain does and for the same reason, but positions
  // alone, so that a pair takes no more room than one link; a position's
  // rank is kept beside, by position.
  struct TPositionPair {
    std::uint16_t previous;
    std::uint16_t before_previous;
  };
  TPositionPair head8[kHashSize];     // by 8-byte key: the last two positions inserted
  TPositionPair chain8[kWindowHalf];  // by position & 0x7FFF: the previous two with that key
  std::uint16_t rank8[kWindowHalf];   // by position & 0x7FFF: its rank, as in its link
  // One past the last byte read into the window. A position goes into the
  // 8-byte index only once its eight bytes are there; until the next read
  // brings them, the links of the last few positions wait here.
  std::uint32_t read_end;
  std::uint32_t waiting8[8];
  std::uint32_t waiting8_count;
  // The most chain entries one search of the current entry went through,
  // candidates passed over included: what bounds a search's cost, for the
  // tests and the benchmark to read.
  std::uint32_t most_search_steps;
  // Window positions below which the last entry may have set hash heads
  // (kWindowSize once the window slid): a small entry's heads are cleared
  // one by one instead of all 65536.
  std::uint32_t heads_set_below;

  const char* error;  // message of the last failed internal check, else null
};

// Binds the output buffer and empties the bit buffer for a new entry.
void bits_start(TState& state, std::uint8_t* buffer, std::uint32_t size);

// Starts an entry: keeps `attributes`, zeroes the compressed size, and builds
// the code tables unless fixed_distance_table[0].parent_len marks them built.
void ct_init(TState& state, std::uint16_t* attributes);

// Loads the level's parameters (1 to 8), marks the level in *flags and reads
// the first window of input.
void match_init(TState& state, std::int32_t level, std::uint16_t* flags);

// Compresses the whole entry and answers its compressed size in bytes.
std::uint32_t deflate_entry(TState& state);

// What one entry is compressed with.
struct TEntrySetup {
  void* param;  // handed to both callbacks through the state
  std::int32_t level;
  read_fn_t read_fn;
  flush_fn_t flush_fn;
  std::uint8_t* output;  // the caller's output buffer
  std::uint32_t output_size;
  std::uint16_t* internal_attributes;
  std::uint16_t* flags;  // general-purpose flags word; the level's bits are set
};

// Runs steps 1 to 5 above for one entry and answers its compressed size; a
// failed internal check leaves its message in state.error.
std::uint32_t compress_entry(TState& state, const TEntrySetup& setup);

// Records a literal (dist 0, lc the byte) or a match (dist 1..32506, lc its
// length - 3); answers nonzero when the block should end now.
int ct_tally(TState& state, std::uint32_t dist, std::uint32_t lc);

// Whether a block of state.last_lit symbols already compresses so well that
// ending it for a new block with fresh trees would pay (an estimate).
bool ct_block_pays_to_end(const TState& state);

// After a symbol is recorded: answers nonzero when the block should end now.
inline int ct_symbol_tallied(const TState& state) {
  constexpr std::uint32_t kMaxBlockSymbols = kLiteralBufferSize - 1;  // one entry kept spare
  // Above the fastest levels, look every so often whether the block already
  // compresses so well that a new block with fresh trees would pay.
  constexpr std::uint32_t kEarlyEndInterval = 4096;
  static_assert(kMaxBlockSymbols % kEarlyEndInterval == kEarlyEndInterval - 1);
  // One test lets through both kinds of symbol count that need a closer look:
  // the multiples of the interval and the one before each, the block's last.
  if (((state.last_lit + 1) & (kEarlyEndInterval - 1)) > 1) return 0;
  if (state.level > 2 && state.last_lit % kEarlyEndInterval == 0 && ct_block_pays_to_end(state)) {
    return 1;
  }
  return state.last_lit == kMaxBlockSymbols;
}

// ct_tally(state, 0, byte), defined here so that the match finder inlines
// it: on data that does not compress, it runs for nearly every byte.
inline int ct_tally_literal(TState& state, std::uint8_t byte) {
  state.literal_buffer[state.last_lit++] = byte;
  ++state.literal_tree[byte].freq_code;
  return ct_symbol_tallied(state);
}

// Ends the block covering `stored_len` input bytes at `data` (null when they
// are no longer all in the window) and answers the compressed bytes so far;
// `last` is 1 for the block that ends the input.
std::uint32_t ct_end_block(TState& state, const std::uint8_t* data, std::uint32_t stored_len,
                           int last);
