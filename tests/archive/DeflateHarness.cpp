#include "DeflateHarness.h"

#include <zlib.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

#include "PlainMatchFinder.h"

namespace deflate_test {
namespace {

constexpr std::uint32_t kOutputBufferSize = 16384;  // what the zip writer hands the compressor

struct Entry {
  std::span<const std::uint8_t> input;
  std::size_t position = 0;
  std::size_t reads = 0;
  CompressOptions options;
  std::vector<std::uint8_t> output;
  std::uint32_t largest_buffer_flush = 0;
  std::uint8_t buffer[kOutputBufferSize];
};

std::uint32_t read_input(TState& state, std::uint8_t* buffer, std::uint32_t size) {
  auto& entry = *static_cast<Entry*>(state.param);
  std::size_t count = std::min<std::size_t>(size, entry.input.size() - entry.position);
  const auto& sizes = entry.options.read_sizes;
  const std::uint32_t limit =
      sizes.empty() ? entry.options.max_read : sizes[entry.reads++ % sizes.size()];
  if (limit != 0) count = std::min<std::size_t>(count, limit);
  if (count == 0) return entry.options.end_with_ffffffff ? 0xFFFFFFFF : 0;
  std::copy_n(entry.input.begin() + static_cast<std::ptrdiff_t>(entry.position), count, buffer);
  entry.position += count;
  return static_cast<std::uint32_t>(count);
}

bool flush_output(void* param, const std::uint8_t* buffer, std::uint32_t* count) {
  auto& entry = *static_cast<Entry*>(param);
  if (buffer == entry.buffer) {
    entry.largest_buffer_flush = std::max(entry.largest_buffer_flush, *count);
  }
  if (entry.options.refuse_output) return false;
  entry.output.insert(entry.output.end(), buffer, buffer + *count);
  *count = 0;
  return true;
}

}  // namespace

std::unique_ptr<TState> make_state() {
  return std::make_unique<TState>();
}

Compressed compress(TState& state, std::span<const std::uint8_t> input,
                    const CompressOptions& options) {
  auto entry = std::make_unique<Entry>();
  entry->input = input;
  entry->options = options;
  Compressed result;
  std::uint16_t attributes = 0;
  const TEntrySetup setup = {entry.get(),   options.level,     read_input,  flush_output,
                             entry->buffer, kOutputBufferSize, &attributes, &result.flags};
  result.reported_size =
      options.plain_search ? compress_entry_plainly(state, setup) : compress_entry(state, setup);
  result.bytes = std::move(entry->output);
  result.error = state.error;
  result.largest_buffer_flush = entry->largest_buffer_flush;
  return result;
}

std::vector<std::uint8_t> inflate_raw(std::span<const std::uint8_t> stream) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  std::vector<std::uint8_t> output;
  std::vector<std::uint8_t> chunk(65536);
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = chunk.data();
    z.avail_out = static_cast<uInt>(chunk.size());
    rc = inflate(&z, Z_NO_FLUSH);
    output.insert(output.end(), chunk.data(), z.next_out);
    if (rc == Z_BUF_ERROR && z.avail_in == 0) break;
  }
  const uInt left = z.avail_in;
  inflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("inflate: " + std::to_string(rc));
  if (left != 0) throw std::runtime_error("bytes after the end of the stream");
  return output;
}

std::vector<std::uint8_t> random_bytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
  return bytes;
}

std::vector<std::uint8_t> text_bytes(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"archive", "window", "the",   "portable", "folder",
                                       "entry",   "of",     "and",   "compress", "file",
                                       "match",   "a",      "block", "tree",     "\n"};
  std::mt19937 generator(seed);
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < size) {
    const std::string word = kWords[generator() % std::size(kWords)];
    bytes.insert(bytes.end(), word.begin(), word.end());
    bytes.push_back(' ');
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace deflate_test
