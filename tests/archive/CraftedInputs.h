// Inputs made to reach the corners of the compressor's match search: hash
// collisions that fill its chains, and a hash key shared across the last
// window slide. The tests use them, and the compressor benchmark times the
// worst of them beside ordinary data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflate_test {

// 65276 bytes whose last three share their hash key with the three bytes
// exactly 32767 earlier and with no position between: the last search
// before the end finds that old position as its candidate, then the window
// slides while only two bytes are left, which moves the old candidate onto
// the scan position itself.
std::vector<std::uint8_t> key_shared_across_the_last_slide();

// Strings of three bytes that differ only in the top bits of their first
// byte, which the 3-byte hash key leaves out: chains in which most entries
// are other strings.
std::vector<std::uint8_t> three_byte_key_collisions(std::size_t size, std::uint32_t seed);

// Units of seven bytes, the last four a different word each time but all
// with one key in the search's 4-byte index, the first three a copy of the
// word's first three: every unit's word has a 3-byte match four bytes back
// and then a 4-byte chain of nothing but colliding words behind it.
std::vector<std::uint8_t> four_byte_key_collisions(std::size_t size);

// Units of fifteen bytes, the last eight a different word each time but all
// with one key in the search's 8-byte index, the first seven a copy of the
// word's first seven: a 7-byte match eight bytes back, then an 8-byte chain
// of colliding words.
std::vector<std::uint8_t> eight_byte_key_collisions(std::size_t size);

}  // namespace deflate_test
