#include "archive/ZipCrypto.h"

#include "archive/Crc32.h"

namespace archive {

// The published start values of the three keys.
ZipCipher::ZipCipher(std::string_view password) noexcept
    : keys_{0x12345678, 0x23456789, 0x34567890} {
  for (char c : password) update(static_cast<std::uint8_t>(c));
}

void ZipCipher::update(std::uint8_t plain) noexcept {
  keys_[0] = crc32_step(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;  // linear congruential step
  keys_[2] = crc32_step(keys_[2], std::uint8_t(keys_[1] >> 24));
}

}  // namespace archive
