// Output fingerprint of the compressor: compresses every file of a folder at
// the given levels and prints, per level, the total compressed size and a
// 64-bit FNV-1a hash over every compressed byte in file order. Two builds
// that print the same lines wrote the same bytes, which is how a change meant
// only to make the compressor faster is checked.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "CorpusFiles.h"
#include "MemoryInput.h"
#include "archive/Deflate.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kOutputBufferSize = 16384;  // the zip writer's output buffer
constexpr std::uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ull;

struct Sink {
  const std::vector<std::uint8_t>* bytes;
  std::size_t position;
  std::uint64_t written;
  std::uint64_t hash;
  std::uint8_t buffer[kOutputBufferSize];
};

bool hash_output(void* param, const std::uint8_t* buffer, std::uint32_t* count) {
  auto& sink = *static_cast<Sink*>(param);
  for (std::uint32_t i = 0; i < *count; ++i) sink.hash = (sink.hash ^ buffer[i]) * kFnvPrime;
  sink.written += *count;
  *count = 0;
  return true;
}

void compress(TState& state, Sink& sink, const std::vector<std::uint8_t>& bytes, int level) {
  sink.bytes = &bytes;
  sink.position = 0;
  std::uint16_t attributes = 0;
  std::uint16_t flags = 0;
  compress_entry(state, {&sink, level, read_memory_input<Sink>, hash_output, sink.buffer,
                         kOutputBufferSize, &attributes, &flags});
  if (state.error != nullptr) std::fprintf(stderr, "compressor error: %s\n", state.error);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder> [levels 1-8 ..., default 8]\n", argv[0]);
    return 2;
  }
  std::vector<int> levels;
  for (int i = 2; i < argc; ++i) levels.push_back(std::atoi(argv[i]));
  if (levels.empty()) levels.push_back(8);
  const std::vector<fs::path> files = bench::corpus_files(argv[1]);

  auto state = std::make_unique<TState>();
  auto sink = std::make_unique<Sink>();
  std::vector<Sink> per_level(levels.size());
  for (auto& s : per_level) {
    s.written = 0;
    s.hash = kFnvOffset;
  }
  for (const auto& path : files) {
    const std::vector<std::uint8_t> bytes = bench::read_whole_file(path);
    for (std::size_t i = 0; i < levels.size(); ++i) {
      sink->written = per_level[i].written;
      sink->hash = per_level[i].hash;
      compress(*state, *sink, bytes, levels[i]);
      per_level[i].written = sink->written;
      per_level[i].hash = sink->hash;
    }
  }
  for (std::size_t i = 0; i < levels.size(); ++i) {
    std::printf("level %d files %zu bytes %llu hash %016llx\n", levels[i], files.size(),
                static_cast<unsigned long long>(per_level[i].written),
                static_cast<unsigned long long>(per_level[i].hash));
  }
  return 0;
}
