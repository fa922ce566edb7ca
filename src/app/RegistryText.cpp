#include "app/RegistryText.h"

#include "ui/UniqueHandle.h"

namespace app {

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& key,
                                             const std::wstring& name, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const ui::UniqueRegKey owner(opened);
  // RegGetValueW ends the text with a NUL even when the stored value has
  // none, and refuses values that are not text. An expandable string is
  // taken as written.
  constexpr DWORD kTextOnly = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  std::wstring text;
  DWORD bytes = 0;
  LSTATUS status = RegGetValueW(opened, nullptr, name.c_str(), kTextOnly, nullptr, nullptr, &bytes);
  // A value that grows between the two calls asks for a larger buffer.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    status = RegGetValueW(opened, nullptr, name.c_str(), kTextOnly, nullptr, text.data(), &bytes);
    if (status == ERROR_SUCCESS) return std::wstring(text.c_str());
  }
  return std::wstring();
}

}  // namespace app
