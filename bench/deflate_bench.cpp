// Compression benchmark: this compressor at level 8 beside zlib's deflate at
// level 8 (raw stream, 15 window bits, memory level 8), in one process, on
// the same bytes. Every file is read into memory first, so only compressing
// is timed; both compressors keep their state from file to file, as the zip
// writer keeps its compressor for a whole archive. Prints figures per kind
// of file (the corpus's top-level folders), then the slowest of the crafted
// inputs that fill the match search's chains with collisions beside the
// corpus (`crafted_worst_mb_per_s <MB/s> ordinary_mb_per_s <MB/s>`), then
// each kind's speed beside zlib's (`part_vs_zlib8 <kind> <ours MB/s / zlib
// MB/s>`), and ends with two lines:
//   throughput_vs_zlib8 <ours MB/s / zlib MB/s>
//   size_vs_zlib8 <our compressed bytes / zlib's>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CorpusFiles.h"
#include "CraftedInputs.h"
#include "MemoryInput.h"
#include "archive/Deflate.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kLevel = 8;                           // the level the zip writer uses
constexpr std::uint32_t kOutputBufferSize = 16384;  // the zip writer's output buffer

struct Totals {
  std::uint64_t files = 0;
  std::uint64_t input = 0;
  std::uint64_t ours_bytes = 0;
  std::uint64_t zlib_bytes = 0;
  double ours_seconds = 0;
  double zlib_seconds = 0;
};

struct Source {
  const std::vector<std::uint8_t>* bytes;
  std::size_t position;
  std::uint64_t written;
  std::uint8_t buffer[kOutputBufferSize];
};

bool count_output(void* param, const std::uint8_t*, std::uint32_t* count) {
  static_cast<Source*>(param)->written += *count;
  *count = 0;
  return true;
}

std::uint64_t compress_ours(TState& state, Source& source, const std::vector<std::uint8_t>& bytes) {
  source.bytes = &bytes;
  source.position = 0;
  source.written = 0;
  std::uint16_t attributes = 0;
  std::uint16_t flags = 0;
  compress_entry(state, {&source, kLevel, read_memory_input<Source>, count_output, source.buffer,
                         kOutputBufferSize, &attributes, &flags});
  if (state.error != nullptr) std::fprintf(stderr, "compressor error: %s\n", state.error);
  return source.written;
}

std::uint64_t compress_zlib(z_stream& z, const std::vector<std::uint8_t>& bytes) {
  static std::uint8_t out[kOutputBufferSize];
  deflateReset(&z);
  z.next_in = const_cast<Bytef*>(bytes.data());
  z.avail_in = static_cast<uInt>(bytes.size());
  std::uint64_t written = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    z.next_out = out;
    z.avail_out = sizeof out;
    rc = deflate(&z, Z_FINISH);
    written += sizeof out - z.avail_out;
  }
  return written;
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void print_row(const std::string& name, const Totals& t) {
  const double mb = static_cast<double>(t.input) / 1e6;
  std::printf(
      "%-18s %6llu files %9.1f MB | ours %7.1f MB/s %6.2f%% | zlib-8 %7.1f MB/s %6.2f%% | speed "
      "x%.2f size x%.4f\n",
      name.c_str(), static_cast<unsigned long long>(t.files), mb, mb / t.ours_seconds,
      100.0 * static_cast<double>(t.ours_bytes) / static_cast<double>(t.input), mb / t.zlib_seconds,
      100.0 * static_cast<double>(t.zlib_bytes) / static_cast<double>(t.input),
      t.zlib_seconds / t.ours_seconds,
      static_cast<double>(t.ours_bytes) / static_cast<double>(t.zlib_bytes));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s <corpus folder> [rounds, default 3]\n", argv[0]);
    return 2;
  }
  const int rounds = argc == 3 ? std::max(1, std::atoi(argv[2])) : 3;
  const fs::path root = argv[1];
  const std::vector<fs::path> files = bench::corpus_files(root);
  if (files.empty()) {
    std::fprintf(stderr, "no files in %s\n", argv[1]);
    return 1;
  }

  auto state = std::make_unique<TState>();
  auto source = std::make_unique<Source>();
  z_stream z{};
  deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);

  std::map<std::string, Totals> by_kind;
  Totals all;
  for (const auto& path : files) {
    const std::vector<std::uint8_t> bytes = bench::read_whole_file(path);
    // The machine may be shared: each compressor runs `rounds` times by
    // turns and keeps its fastest time.
    std::uint64_t ours = 0;
    std::uint64_t theirs = 0;
    double ours_seconds = 1e300;
    double zlib_seconds = 1e300;
    for (int round = 0; round < rounds; ++round) {
      auto start = Clock::now();
      ours = compress_ours(*state, *source, bytes);
      ours_seconds = std::min(ours_seconds, seconds_since(start));
      start = Clock::now();
      theirs = compress_zlib(z, bytes);
      zlib_seconds = std::min(zlib_seconds, seconds_since(start));
    }

    const std::string kind = fs::relative(path, root).begin()->string();
    for (Totals* t : {&by_kind[kind], &all}) {
      ++t->files;
      t->input += bytes.size();
      t->ours_bytes += ours;
      t->zlib_bytes += theirs;
      t->ours_seconds += ours_seconds;
      t->zlib_seconds += zlib_seconds;
    }
  }
  deflateEnd(&z);

  for (const auto& [kind, totals] : by_kind) print_row(kind, totals);
  print_row("all", all);

  // Inputs made to lengthen searches: the slowest of them, fastest of its
  // rounds, in MB/s beside the corpus's.
  double worst = 1e300;
  for (const auto& crafted : {deflate_test::four_byte_key_collisions(8 << 20),
                              deflate_test::eight_byte_key_collisions(8 << 20),
                              deflate_test::three_byte_key_collisions(8 << 20, 1)}) {
    double seconds = 1e300;
    for (int round = 0; round < rounds; ++round) {
      const auto start = Clock::now();
      compress_ours(*state, *source, crafted);
      seconds = std::min(seconds, seconds_since(start));
    }
    worst = std::min(worst, static_cast<double>(crafted.size()) / 1e6 / seconds);
  }
  std::printf("crafted_worst_mb_per_s %.1f ordinary_mb_per_s %.1f\n", worst,
              static_cast<double>(all.input) / 1e6 / all.ours_seconds);
  for (const auto& [kind, totals] : by_kind) {
    std::printf("part_vs_zlib8 %s %.3f\n", kind.c_str(), totals.zlib_seconds / totals.ours_seconds);
  }
  std::printf("throughput_vs_zlib8 %.3f\n", all.zlib_seconds / all.ours_seconds);
  std::printf("size_vs_zlib8 %.4f\n",
              static_cast<double>(all.ours_bytes) / static_cast<double>(all.zlib_bytes));
  return 0;
}
