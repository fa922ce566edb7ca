#include "i18n/FileBytes.h"

#include "ui/UniqueHandle.h"

#include <algorithm>
#include <new>

namespace i18n {
namespace {

std::error_code LastError() {
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

}  // namespace

std::error_code ReadFileBytes(const std::wstring& path, std::string& bytes) {
  // Others may keep the file open for writing: a language file open in an
  // editor must still be readable.
  ui::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();

  std::string content;
  try {
    content.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::exception&) {
    return std::make_error_code(std::errc::not_enough_memory);
  }
  size_t done = 0;
  while (done < content.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), content.data() + done, wanted, &got, nullptr)) return LastError();
    if (got == 0) break;  // the file shrank while we read it
    done += got;
  }
  content.resize(done);
  bytes = std::move(content);
  return {};
}

}  // namespace i18n
