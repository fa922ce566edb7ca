// Small PNG files made on the spot with libpng's writer, in the colour
// types a skin may use, for the tests of the decoder and the controls.
#pragma once

#include <png.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "ui/Picture.h"

namespace uitest {

// `pixels` in the layout `format` describes (PNG_FORMAT_RGBA and so on);
// `colormap` for the colour-mapped formats.
inline std::vector<std::uint8_t> EncodePng(png_uint_32 format, int width, int height,
                                           const void* pixels, const void* colormap = nullptr,
                                           int colormapEntries = 0) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colormapEntries);
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colormap)) {
    throw std::runtime_error(image.message);
  }
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, colormap)) {
    throw std::runtime_error(image.message);
  }
  out.resize(size);
  return out;
}

// A picture of one colour (straight RGBA).
inline ui::TPicture SolidPicture(int width, int height, std::uint8_t r, std::uint8_t g,
                                 std::uint8_t b, std::uint8_t a = 255) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {r, g, b, a});
  ui::TPicture picture;
  picture.LoadFromPngBytes(EncodePng(PNG_FORMAT_RGBA, width, height, rgba.data()));
  return picture;
}

}  // namespace uitest
