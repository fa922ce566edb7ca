// Source files for the zip writer's tests: contents, times and attributes
// set the way a product folder has them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>

#include "ZipTestSupport.h"

namespace ziptest {

// 2014-06-15 10:20:31 UTC.
inline constexpr std::int64_t kJune2014 = 1402827631;

FILETIME file_time_from_unix(std::int64_t seconds);

// Writes the file and sets its last modification time.
void make_file(const std::filesystem::path& path, const Bytes& data, std::int64_t mtime);

// A small executable image: "MZ", the new header's offset at 0x3C, and the
// given 32-bit signature there.
Bytes exe_image(std::uint32_t signature);

// Text that deflate shrinks well.
Bytes sample_text(std::size_t size);

}  // namespace ziptest
