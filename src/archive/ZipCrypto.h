// The traditional zip encryption: three 32-bit keys stepped by every plain
// byte, and a key stream derived from the third key. It is weak by today's
// measure but is what every zip reader can decrypt; the writer offers it for
// archives created with a password.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace archive {

class ZipCipher {
 public:
  // Keys for a new entry, already stepped with every byte of the password.
  explicit ZipCipher(std::string_view password) noexcept;

  std::uint8_t encrypt(std::uint8_t plain) noexcept {
    std::uint8_t out = plain ^ stream_byte();
    update(plain);
    return out;
  }
  void encrypt(std::uint8_t* data, std::size_t size) noexcept {
    for (std::size_t i = 0; i < size; ++i) data[i] = encrypt(data[i]);
  }

  std::uint8_t stream_byte() const noexcept {
    std::uint32_t t = (keys_[2] & 0xFFFF) | 2;
    return std::uint8_t((t * (t ^ 1)) >> 8);
  }

 private:
  void update(std::uint8_t plain) noexcept;

  std::uint32_t keys_[3];
};

}  // namespace archive
