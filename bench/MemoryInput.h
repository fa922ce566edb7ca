// The benchmarks compress files held in memory. Their entries (one struct a
// benchmark, each with its own output bookkeeping) all carry `bytes` and
// `position`; this is the compressor's read callback over them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archive/Deflate.h"

// Entry: the type state.param points at, with `const std::vector<uint8_t>*
// bytes` and `std::size_t position`.
template <typename Entry>
std::uint32_t read_memory_input(TState& state, std::uint8_t* buffer, std::uint32_t size) {
  auto& entry = *static_cast<Entry*>(state.param);
  const std::size_t count = std::min<std::size_t>(size, entry.bytes->size() - entry.position);
  std::copy_n(entry.bytes->data() + entry.position, count, buffer);
  entry.position += count;
  return static_cast<std::uint32_t>(count);
}
