#include "i18n/TextServices.h"

#include <cwctype>

namespace i18n {
namespace {

std::wstring UpperCasePerUnit(std::wstring_view text) {
  std::wstring result(text);
  for (wchar_t& c : result) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return result;
}

// Latin-1 maps every byte to the code unit of the same value, which is what
// the tests of the portable code need from a single-byte code page.
std::wstring DecodeLatin1(std::string_view bytes) {
  std::wstring result;
  result.reserve(bytes.size());
  for (char c : bytes) result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace

TextServices SystemTextServices() {
  return {UpperCasePerUnit, DecodeLatin1};
}

}  // namespace i18n
