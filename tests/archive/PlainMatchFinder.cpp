// The match search written out the plain way, for the tests only: one hash
// chain over three bytes, every candidate visited in turn, nothing skipped
// that the chain holds. The compressor's own search takes shortcuts (more
// indexes over four and eight bytes, ranks, links read in pairs) and must still
// choose exactly the matches this walk chooses, so the tests run both on the
// same input and compare what comes out.
//
// It shares only the block encoder with the compressor (ct_tally and
// ct_end_block, which read the scan position and the block start from the
// state); window, chains and the steps of both paths are its own.
#include "PlainMatchFinder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace deflate_test {
namespace {

constexpr std::uint32_t kWindow = 65536;
constexpr std::uint32_t kHalf = 32768;
constexpr std::uint32_t kMinMatch = 3;
constexpr std::uint32_t kMaxMatch = 258;
constexpr std::uint32_t kMinLookahead = 262;
constexpr std::uint32_t kFarthest = 32506;
constexpr std::uint32_t kSlidePoint = 65274;
constexpr std::uint32_t kTooFar = 4096;

struct Level {
  std::uint32_t good, lazy, nice, chain;
};
constexpr Level kLevels[8] = {{4, 4, 8, 4},      {4, 5, 16, 8},       {4, 6, 32, 32},
                              {4, 4, 16, 16},    {8, 16, 32, 32},     {8, 16, 128, 128},
                              {8, 32, 128, 256}, {32, 128, 258, 1024}};

class PlainSearch {
 public:
  explicit PlainSearch(TState& s) : s_(s), window_(kWindow), head_(kHalf), chain_(kHalf) {}

  void start(int level, std::uint16_t* flags) {
    const Level& p = kLevels[std::clamp(level, 1, 8) - 1];
    good_ = p.good;
    lazy_ = p.lazy;
    nice_ = p.nice;
    chain_limit_ = p.chain;
    if (level <= 2) *flags |= 4;
    if (level >= 8) *flags |= 2;
    s_.scan = 0;
    s_.block_start = 0;
    lookahead_ = 0;
    end_ = false;
    const std::uint32_t count = s_.read_fn(s_, window_.data(), kWindow);
    if (count == 0 || count == 0xFFFFFFFF) {
      end_ = true;
      return;
    }
    lookahead_ = count;
    if (lookahead_ < kMinLookahead) refill();
    key_ = 0;
    update_key(window_[0]);
    update_key(window_[1]);
  }

  std::uint32_t run(int level) { return level <= 3 ? greedy() : lazy(); }

 private:
  void update_key(std::uint8_t byte) { key_ = ((key_ << 5) ^ byte) & 0x7FFF; }

  std::uint32_t insert() {
    update_key(window_[s_.scan + 2]);
    const std::uint32_t candidate = head_[key_];
    chain_[s_.scan & 0x7FFF] = candidate;
    head_[key_] = s_.scan;
    return candidate;
  }

  void refill() {
    do {
      std::uint32_t free = kWindow - lookahead_ - s_.scan;
      if (s_.scan >= kSlidePoint) {
        std::memcpy(window_.data(), window_.data() + kHalf, kHalf);
        match_start_ -= kHalf;
        s_.scan -= kHalf;
        s_.block_start -= static_cast<std::int32_t>(kHalf);
        for (auto* table : {&head_, &chain_}) {
          for (std::uint32_t& p : *table) p = p >= kHalf ? p - kHalf : 0;
        }
        free += kHalf;
      }
      if (end_) return;
      const std::uint32_t count = s_.read_fn(s_, window_.data() + s_.scan + lookahead_, free);
      if (count == 0 || count == 0xFFFFFFFF) {
        end_ = true;
      } else {
        lookahead_ += count;
      }
    } while (lookahead_ < kMinLookahead && !end_);
  }

  std::uint32_t longest_match(std::uint32_t candidate) {
    std::uint32_t best = prev_length_;
    std::uint32_t chain_count = prev_length_ >= good_ ? chain_limit_ >> 2 : chain_limit_;
    const std::uint32_t limit = s_.scan > kFarthest ? s_.scan - kFarthest : 0;
    const std::uint8_t* w = window_.data();
    const std::uint32_t scan = s_.scan;
    do {
      if (candidate >= scan) s_.error = "plain walk: no future";
      if (w[candidate + best] == w[scan + best] && w[candidate + best - 1] == w[scan + best - 1] &&
          w[candidate] == w[scan] && w[candidate + 1] == w[scan + 1]) {
        std::uint32_t length = 2;
        while (length < kMaxMatch && w[candidate + length] == w[scan + length]) ++length;
        if (length > best) {
          match_start_ = candidate;
          best = length;
          if (length >= nice_) break;
        }
      }
      candidate = chain_[candidate & 0x7FFF];
    } while (candidate > limit && --chain_count != 0);
    return best;
  }

  std::uint32_t search(std::uint32_t candidate) {
    nice_ = std::min(nice_, lookahead_);
    return std::min(longest_match(candidate), lookahead_);
  }

  void end_block() {
    const std::uint8_t* data = s_.block_start >= 0 ? window_.data() + s_.block_start : nullptr;
    ct_end_block(s_, data, static_cast<std::uint32_t>(s_.scan - s_.block_start), 0);
    s_.block_start = static_cast<std::int32_t>(s_.scan);
  }

  std::uint32_t end_last_block() {
    const std::uint8_t* data = s_.block_start >= 0 ? window_.data() + s_.block_start : nullptr;
    return ct_end_block(s_, data, static_cast<std::uint32_t>(s_.scan - s_.block_start), 1);
  }

  // A search needs three bytes left: with fewer, the candidate is the one
  // an earlier step found, and no match could come of it anyway.
  bool may_search(std::uint32_t candidate) const {
    return lookahead_ >= kMinMatch && candidate != 0 && s_.scan - candidate <= kFarthest;
  }

  std::uint32_t greedy() {
    std::uint32_t candidate = 0;
    std::uint32_t length = 0;
    prev_length_ = kMinMatch - 1;
    while (lookahead_ != 0) {
      if (lookahead_ >= kMinMatch) candidate = insert();
      if (may_search(candidate)) length = search(candidate);
      int end_now;
      if (length >= kMinMatch) {
        end_now = ct_tally(s_, s_.scan - match_start_, length - kMinMatch);
        lookahead_ -= length;
        if (length <= lazy_ && lookahead_ >= kMinMatch) {
          for (std::uint32_t n = length - 1; n != 0; --n) {
            ++s_.scan;
            candidate = insert();
          }
          ++s_.scan;
        } else {
          s_.scan += length;
          key_ = window_[s_.scan];
          update_key(window_[s_.scan + 1]);
        }
        length = 0;
      } else {
        end_now = ct_tally(s_, 0, window_[s_.scan]);
        --lookahead_;
        ++s_.scan;
      }
      if (end_now) end_block();
      if (lookahead_ < kMinLookahead) refill();
    }
    return end_last_block();
  }

  std::uint32_t lazy() {
    std::uint32_t candidate = 0;
    std::uint32_t length = kMinMatch - 1;
    bool pending = false;
    while (lookahead_ != 0) {
      if (lookahead_ >= kMinMatch) candidate = insert();
      prev_length_ = length;
      const std::uint32_t prev_match = match_start_;
      length = kMinMatch - 1;
      if (may_search(candidate) && prev_length_ < lazy_) {
        length = search(candidate);
        if (length == kMinMatch && s_.scan - match_start_ > kTooFar) length = kMinMatch - 1;
      }
      if (prev_length_ >= kMinMatch && length <= prev_length_) {
        const std::uint32_t max_insert = s_.scan + lookahead_ - kMinMatch;
        const int end_now = ct_tally(s_, s_.scan - 1 - prev_match, prev_length_ - kMinMatch);
        lookahead_ -= prev_length_ - 1;
        for (std::uint32_t n = prev_length_ - 2; n != 0; --n) {
          ++s_.scan;
          if (s_.scan <= max_insert) candidate = insert();
        }
        ++s_.scan;
        pending = false;
        length = kMinMatch - 1;
        if (end_now) end_block();
      } else if (pending) {
        if (ct_tally(s_, 0, window_[s_.scan - 1])) end_block();
        ++s_.scan;
        --lookahead_;
      } else {
        pending = true;
        ++s_.scan;
        --lookahead_;
      }
      if (lookahead_ < kMinLookahead) refill();
    }
    if (pending) ct_tally(s_, 0, window_[s_.scan - 1]);
    return end_last_block();
  }

  TState& s_;
  std::vector<std::uint8_t> window_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> chain_;
  std::uint32_t key_ = 0;
  std::uint32_t prev_length_ = 0;
  std::uint32_t match_start_ = 0;
  std::uint32_t lookahead_ = 0;
  bool end_ = false;
  std::uint32_t good_ = 0, lazy_ = 0, nice_ = 0, chain_limit_ = 0;
};

}  // namespace

std::uint32_t compress_entry_plainly(TState& state, const TEntrySetup& setup) {
  state.param = setup.param;
  state.level = setup.level;
  state.read_fn = setup.read_fn;
  state.flush_fn = setup.flush_fn;
  state.error = nullptr;
  state.fixed_distance_table[0].parent_len = 0;
  bits_start(state, setup.output, setup.output_size);
  ct_init(state, setup.internal_attributes);
  PlainSearch search(state);
  search.start(setup.level, setup.flags);
  return search.run(setup.level);
}

}  // namespace deflate_test
