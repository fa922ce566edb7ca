// The benchmarks' view of a corpus folder: its files in path order, so that
// every run and every build meets them in the same sequence, and each file
// read whole into memory, so that only compressing is timed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace bench {

// Every regular file below root, sorted by path.
std::vector<std::filesystem::path> corpus_files(const std::filesystem::path& root);

// The whole content of a file.
std::vector<std::uint8_t> read_whole_file(const std::filesystem::path& path);

}  // namespace bench
