// The zip writer's result codes, apart from its operations so that code
// which only reads a result (the archive job's account of a failure) or
// prepares entries on other threads needs no OS headers.
#pragma once

#include <cstdint>

using ZipResult = std::uint32_t;

// Result codes, grouped by byte: general failures, failures caused by the
// caller, failures inside the writer.
namespace zip_result {
inline constexpr ZipResult ok = 0x00000000;
inline constexpr ZipResult duplicate_handle = 0x00000100;
inline constexpr ZipResult open_file = 0x00000200;
inline constexpr ZipResult alloc_memory = 0x00000300;
inline constexpr ZipResult write_file = 0x00000400;
inline constexpr ZipResult not_found = 0x00000500;
inline constexpr ZipResult more_data = 0x00000600;
inline constexpr ZipResult corrupt = 0x00000700;
inline constexpr ZipResult read_file = 0x00000800;
inline constexpr ZipResult bad_arguments = 0x00010000;
inline constexpr ZipResult not_memory = 0x00020000;
inline constexpr ZipResult memory_size = 0x00030000;
inline constexpr ZipResult previous_error = 0x00040000;
inline constexpr ZipResult ended = 0x00050000;
inline constexpr ZipResult size_mismatch = 0x00060000;
inline constexpr ZipResult partially_unzipped = 0x00070000;
inline constexpr ZipResult mixed_mode = 0x00080000;
inline constexpr ZipResult not_initialised = 0x01000000;
inline constexpr ZipResult unseekable = 0x02000000;
inline constexpr ZipResult size_changed = 0x04000000;
inline constexpr ZipResult flate_error = 0x05000000;
// Given to zip_result_text, stands for zip_last_result.
inline constexpr ZipResult last = 0x00000001;
}  // namespace zip_result
