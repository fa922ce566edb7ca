#include "BlockLister.h"

#include <array>
#include <stdexcept>

namespace deflate_test {
namespace {

class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint32_t bits(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= bit() << i;
    return value;
  }

  std::uint32_t bit() {
    if (position_ / 8 >= bytes_.size()) throw std::runtime_error("stream ends early");
    const std::uint32_t value = (bytes_[position_ / 8] >> (position_ % 8)) & 1;
    ++position_;
    return value;
  }

  void align() { position_ = (position_ + 7) & ~std::size_t{7}; }
  std::size_t byte_position() const { return (position_ + 7) / 8; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Canonical code from lengths, decoded one bit at a time.
class Decoder {
 public:
  explicit Decoder(const std::vector<int>& lengths) : lengths_(lengths) {
    std::array<int, 16> counts{};
    for (const int length : lengths) ++counts[length];
    counts[0] = 0;
    int code = 0;
    for (int bits = 1; bits < 16; ++bits) {
      code = (code + counts[bits - 1]) << 1;
      first_[bits] = code;
    }
    codes_.resize(lengths.size());
    std::array<int, 16> next = first_;
    for (std::size_t n = 0; n < lengths.size(); ++n) {
      if (lengths[n] != 0) codes_[n] = next[lengths[n]]++;
    }
  }

  int decode(BitReader& in) const {
    int code = 0;
    for (int length = 1; length < 16; ++length) {
      code = (code << 1) | static_cast<int>(in.bit());
      for (std::size_t n = 0; n < lengths_.size(); ++n) {
        if (lengths_[n] == length && codes_[n] == code) return static_cast<int>(n);
      }
    }
    throw std::runtime_error("no such code");
  }

 private:
  std::vector<int> lengths_;
  std::vector<int> codes_;
  std::array<int, 16> first_{};
};

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr int kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                      11, 4,  12, 3, 13, 2, 14, 1, 15};

void read_symbols(BitReader& in, const Decoder& literals, const Decoder& distances,
                  ListedBlock& block, std::vector<std::uint8_t>& output) {
  for (;;) {
    const int symbol = literals.decode(in);
    if (symbol < 256) {
      block.symbols.push_back({static_cast<std::uint32_t>(symbol), 0, 0});
      output.push_back(static_cast<std::uint8_t>(symbol));
      continue;
    }
    if (symbol == 256) return;
    if (symbol > 285) throw std::runtime_error("bad length symbol");
    const int code = symbol - 257;
    const int length = kLengthBase[code] + static_cast<int>(in.bits(kLengthExtra[code]));
    const int dcode = distances.decode(in);
    if (dcode >= 30) throw std::runtime_error("bad distance symbol");
    const int distance = kDistanceBase[dcode] + static_cast<int>(in.bits(kDistanceExtra[dcode]));
    if (static_cast<std::size_t>(distance) > output.size())
      throw std::runtime_error("too far back");
    block.symbols.push_back(
        {0, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance)});
    for (int i = 0; i < length; ++i) output.push_back(output[output.size() - distance]);
  }
}

std::vector<int> read_lengths(BitReader& in, const Decoder& code_lengths, int count) {
  std::vector<int> lengths;
  while (static_cast<int>(lengths.size()) < count) {
    const int symbol = code_lengths.decode(in);
    if (symbol < 16) {
      lengths.push_back(symbol);
    } else if (symbol == 16) {
      if (lengths.empty()) throw std::runtime_error("repeat without a length");
      const int repeat = 3 + static_cast<int>(in.bits(2));
      lengths.insert(lengths.end(), repeat, lengths.back());
    } else {
      const int repeat =
          symbol == 17 ? 3 + static_cast<int>(in.bits(3)) : 11 + static_cast<int>(in.bits(7));
      lengths.insert(lengths.end(), repeat, 0);
    }
  }
  if (static_cast<int>(lengths.size()) != count) throw std::runtime_error("runs overshoot");
  return lengths;
}

}  // namespace

ListedStream list_blocks(std::span<const std::uint8_t> stream) {
  ListedStream result;
  BitReader in(stream);
  bool last = false;
  while (!last) {
    ListedBlock block;
    block.last = last = in.bit() != 0;
    block.type = static_cast<int>(in.bits(2));
    if (block.type == 0) {
      in.align();
      const std::uint32_t length = in.bits(16);
      if ((in.bits(16) ^ 0xFFFF) != length) throw std::runtime_error("bad stored length");
      for (std::uint32_t i = 0; i < length; ++i)
        block.stored.push_back(static_cast<std::uint8_t>(in.bits(8)));
      result.output.insert(result.output.end(), block.stored.begin(), block.stored.end());
    } else if (block.type == 1) {
      std::vector<int> literal_lengths(288);
      for (int n = 0; n < 288; ++n)
        literal_lengths[n] = n < 144 ? 8 : n < 256 ? 9 : n < 280 ? 7 : 8;
      read_symbols(in, Decoder(literal_lengths), Decoder(std::vector<int>(30, 5)), block,
                   result.output);
    } else if (block.type == 2) {
      block.literal_codes = 257 + static_cast<int>(in.bits(5));
      block.distance_codes = 1 + static_cast<int>(in.bits(5));
      block.code_length_codes = 4 + static_cast<int>(in.bits(4));
      std::vector<int> code_length_lengths(19);
      for (int i = 0; i < block.code_length_codes; ++i) {
        code_length_lengths[kCodeLengthOrder[i]] = static_cast<int>(in.bits(3));
      }
      const Decoder code_lengths(code_length_lengths);
      const std::vector<int> lengths =
          read_lengths(in, code_lengths, block.literal_codes + block.distance_codes);
      const std::vector<int> literal_lengths(lengths.begin(),
                                             lengths.begin() + block.literal_codes);
      block.distance_lengths.assign(lengths.begin() + block.literal_codes, lengths.end());
      read_symbols(in, Decoder(literal_lengths), Decoder(block.distance_lengths), block,
                   result.output);
    } else {
      throw std::runtime_error("reserved block type");
    }
    result.blocks.push_back(std::move(block));
  }
  result.bytes_used = in.byte_position();
  return result;
}

}  // namespace deflate_test
