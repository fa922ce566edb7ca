#include "ui/PngImage.h"

#include <png.h>

namespace ui {

namespace {

// Skin pictures are small; anything far beyond this is a damaged or hostile
// file, and refusing it keeps a header from asking for gigabytes.
constexpr png_uint_32 kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = 32ull * 1024 * 1024;

// Frees the decoder's state on every way out.
struct ImageReader {
  png_image image{};
  ImageReader() { image.version = PNG_IMAGE_VERSION; }
  ~ImageReader() { png_image_free(&image); }
  ImageReader(const ImageReader&) = delete;
  ImageReader& operator=(const ImageReader&) = delete;
};

[[noreturn]] void Fail(const png_image& image, const char* what) {
  std::string text = what;
  if (image.message[0] != '\0') text += std::string(": ") + image.message;
  throw EInvalidGraphic(text);
}

}  // namespace

std::uint32_t PremultiplyRgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  // Rounded division by 255, so that full alpha keeps the colour exactly.
  auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (std::uint32_t{a} << 24) | (scale(r) << 16) | (scale(g) << 8) | scale(b);
}

TImageSize PngImageSize(std::span<const std::uint8_t> bytes) {
  ImageReader reader;
  if (bytes.empty() ||
      !png_image_begin_read_from_memory(&reader.image, bytes.data(), bytes.size())) {
    return {};
  }
  return {static_cast<int>(reader.image.width), static_cast<int>(reader.image.height)};
}

TPngImage TPngImage::FromPngBytes(std::span<const std::uint8_t> bytes) {
  ImageReader reader;
  if (bytes.empty()) throw EInvalidGraphic("Not a PNG image: no data");
  if (!png_image_begin_read_from_memory(&reader.image, bytes.data(), bytes.size())) {
    Fail(reader.image, "Not a valid PNG image");
  }
  const png_uint_32 width = reader.image.width;
  const png_uint_32 height = reader.image.height;
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      std::uint64_t{width} * height > kMaxPixels) {
    throw EInvalidGraphic("PNG image too large: " + std::to_string(width) + " x " +
                          std::to_string(height));
  }
  reader.image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(reader.image));
  if (!png_image_finish_read(&reader.image, nullptr, rgba.data(), 0, nullptr)) {
    Fail(reader.image, "Damaged PNG image");
  }

  TPngImage result;
  result.width_ = static_cast<int>(width);
  result.height_ = static_cast<int>(height);
  result.pixels_.resize(std::size_t{width} * height);
  for (std::size_t i = 0; i < result.pixels_.size(); ++i) {
    const std::uint8_t* p = &rgba[i * 4];
    result.pixels_[i] = PremultiplyRgba(p[0], p[1], p[2], p[3]);
  }
  return result;
}

TPngImage TPngImage::FromPixels(int width, int height, std::vector<std::uint32_t> pixels) {
  if (width < 0 || height < 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw EInvalidGraphic("Pixel count does not match the image size");
  }
  TPngImage result;
  result.width_ = width;
  result.height_ = height;
  result.pixels_ = std::move(pixels);
  return result;
}

}  // namespace ui
