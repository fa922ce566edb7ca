#include "i18n/FileBytes.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace i18n {

std::error_code ReadFileBytes(const std::wstring& path, std::string& bytes) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) return std::error_code(errno != 0 ? errno : ENOENT, std::generic_category());
  try {
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::make_error_code(std::errc::io_error);
    bytes = std::move(content);
  } catch (const std::exception&) {
    return std::make_error_code(std::errc::not_enough_memory);
  }
  return {};
}

}  // namespace i18n
