// CRC-32 as the zip format checks it: reflected polynomial 0xEDB88320,
// register preset to all ones, result complemented. The zip writer runs every
// byte of every entry through it, and the traditional zip encryption steps
// its keys with the same table, so both live here, free of any OS call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace archive {

// The classic 256-entry table of the reflected polynomial.
const std::array<std::uint32_t, 256>& crc32_table() noexcept;

// One table step of a raw CRC register (no pre- or post-inversion), the form
// the encryption keys are updated with.
inline std::uint32_t crc32_step(std::uint32_t reg, std::uint8_t byte) noexcept {
  return crc32_table()[(reg ^ byte) & 0xFF] ^ (reg >> 8);
}

// Continues a finished CRC-32 over more bytes: start with 0, feed the data in
// as many pieces as convenient, the result is the CRC of the whole.
std::uint32_t crc32_update(std::uint32_t crc, const void* data, std::size_t size) noexcept;

}  // namespace archive
