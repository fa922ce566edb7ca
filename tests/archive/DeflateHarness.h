// Drives the compressor over an in-memory input the way the zip writer does,
// with a choice of how the read callback hands out the input, and inflates
// results with zlib as an independent decoder.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "archive/Deflate.h"

namespace deflate_test {

struct CompressOptions {
  int level = 8;
  std::uint32_t max_read = 0;      // most bytes one read hands out; 0 = all that is asked for
  bool end_with_ffffffff = false;  // end the input with 0xFFFFFFFF instead of 0
  // When not empty, the most bytes each read hands out, by turns (0: all
  // that is asked for); replaces max_read.
  std::span<const std::uint32_t> read_sizes = {};
  bool refuse_output = false;  // the flush callback takes nothing, as on a failed write
  bool plain_search = false;   // find matches with the plain walk of PlainMatchFinder.h
};

struct Compressed {
  std::vector<std::uint8_t> bytes;  // everything that went through the flush callback
  std::uint32_t reported_size = 0;  // deflate_entry's answer
  const char* error = nullptr;
  std::uint16_t flags = 0;
  std::uint32_t largest_buffer_flush = 0;  // most bytes handed over from the output buffer
};

std::unique_ptr<TState> make_state();

// Compresses `input` as one entry with a state that may have served others.
Compressed compress(TState& state, std::span<const std::uint8_t> input,
                    const CompressOptions& options = {});

// Raw inflate with zlib; throws std::runtime_error when zlib rejects the stream
// or finds bytes after its end.
std::vector<std::uint8_t> inflate_raw(std::span<const std::uint8_t> stream);

// Inputs of a given kind, the same for the same seed.
std::vector<std::uint8_t> random_bytes(std::size_t size, std::uint32_t seed);
std::vector<std::uint8_t> text_bytes(std::size_t size, std::uint32_t seed);

}  // namespace deflate_test
