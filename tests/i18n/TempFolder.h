// A scratch folder for tests that need real files: created empty, filled by
// the test and removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace i18n::testing_support {

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"brk_i18n_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

  std::wstring WriteBytes(std::wstring_view name, std::string_view bytes) const {
    const std::wstring file = File(name);
    std::ofstream(std::filesystem::path(file), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

  // Saves text as UTF-16 little-endian with a byte-order mark, as the tool's
  // language files are saved.
  std::wstring WriteUtf16(std::wstring_view name, std::wstring_view text) const {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return WriteBytes(name, bytes);
  }

 private:
  std::wstring path_;
};

inline std::string ReadBytes(const std::wstring& file) {
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace i18n::testing_support
