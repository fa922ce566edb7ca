// Pictures as a window layout stores them: the picture's class name as a
// length-prefixed short string (one length byte, then "TPngImage"), directly
// followed by the bytes of the PNG file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ui/Picture.h"

namespace ui {

// Throws EInvalidGraphic for an unknown class name or a damaged image.
TPicture ReadStoredPicture(std::span<const std::uint8_t> stored);

// The stored form of a PNG file's bytes.
std::vector<std::uint8_t> StorePngBytes(std::span<const std::uint8_t> png);

}  // namespace ui
