#include "i18n/TextServices.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace i18n {
namespace {

std::wstring UpperCaseForUser(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty()) CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

std::wstring DecodeAnsiCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    throw std::length_error("text too long for the code-page conversion");
  }
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::wstring result(static_cast<size_t>(needed), L'\0');
  if (needed > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, result.data(), needed);
  return result;
}

}  // namespace

TextServices SystemTextServices() {
  return {UpperCaseForUser, DecodeAnsiCodePage};
}

}  // namespace i18n
