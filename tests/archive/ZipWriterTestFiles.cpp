#include "ZipWriterTestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace ziptest {

FILETIME file_time_from_unix(std::int64_t seconds) {
  std::uint64_t ticks = std::uint64_t(seconds * 10'000'000 + 116'444'736'000'000'000);
  return FILETIME{DWORD(ticks), DWORD(ticks >> 32)};
}

void make_file(const std::filesystem::path& path, const Bytes& data, std::int64_t mtime) {
  write_file(path, data);
  HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  FILETIME t = file_time_from_unix(mtime);
  EXPECT_TRUE(SetFileTime(h, nullptr, &t, &t));
  CloseHandle(h);
}

Bytes exe_image(std::uint32_t signature) {
  Bytes image(0x200, 0);
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x80;
  for (int i = 0; i < 4; ++i) image[0x80 + i] = std::uint8_t(signature >> (8 * i));
  return image;
}

Bytes sample_text(std::size_t size) {
  std::string line = "Brightkeep keeps the settings of every profile in its own folder.\r\n";
  std::string text;
  for (int n = 0; text.size() < size; ++n) text += std::to_string(n) + ": " + line;
  text.resize(size);
  return text_bytes(text);
}

}  // namespace ziptest
