// The picture a control holds: a decoded PNG image (or none) that knows its
// size, can be copied, and can be drawn by a canvas. The decoded image is
// immutable and shared between copies; its bitmap for drawing is made on
// first use and kept with it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "ui/PngImage.h"

namespace ui {

class TPicture {
 public:
  TPicture() = default;
  explicit TPicture(TPngImage image);

  // 0 for an empty picture.
  int Width() const;
  int Height() const;
  bool Empty() const { return data_ == nullptr; }
  const TPngImage* Graphic() const;

  void Assign(const TPicture& source) { data_ = source.data_; }
  void Clear() { data_.reset(); }
  // Throws EInvalidGraphic for a damaged file; the picture is unchanged then.
  void LoadFromPngBytes(std::span<const std::uint8_t> bytes);

  // A premultiplied 32-bit top-down DIB section of the image, or null when
  // empty or when the system refuses one.
  HBITMAP Bitmap() const;

 private:
  struct Data;
  std::shared_ptr<const Data> data_;
};

}  // namespace ui
