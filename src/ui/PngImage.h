// A decoded PNG image: its size and its pixels as premultiplied 32-bit BGRA
// (the layout a 32-bit DIB section blended by its alpha expects). Any PNG
// colour type decodes: RGB, RGBA, palette (with transparency), grey with or
// without alpha, 8 or 16 bits per channel. A damaged or oversized file is
// refused with EInvalidGraphic, never a crash.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {

class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPngImage {
 public:
  TPngImage() = default;
  static TPngImage FromPngBytes(std::span<const std::uint8_t> bytes);
  // A premultiplied BGRA image of the given size (for pictures built in code).
  static TPngImage FromPixels(int width, int height, std::vector<std::uint32_t> pixels);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  // Premultiplied 0xAARRGGBB, rows top to bottom.
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }
  std::uint32_t Pixel(int x, int y) const { return pixels_.at(y * width_ + x); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// The size a PNG file declares, read from its header without decoding it;
// 0 x 0 for data that is not a PNG file.
struct TImageSize {
  int Width = 0;
  int Height = 0;
};
TImageSize PngImageSize(std::span<const std::uint8_t> bytes);

// Straight (not premultiplied) RGBA to the premultiplied 0xAARRGGBB form.
std::uint32_t PremultiplyRgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

}  // namespace ui
