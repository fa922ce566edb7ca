#include "ui/Picture.h"

#include <cstring>

#include "ui/UniqueHandle.h"

namespace ui {

struct TPicture::Data {
  TPngImage image;
  // Made on the first draw; the picture's bits never change afterwards.
  mutable UniqueBitmap bitmap;
};

TPicture::TPicture(TPngImage image) {
  if (!image.Empty()) {
    auto data = std::make_shared<Data>();
    data->image = std::move(image);
    data_ = std::move(data);
  }
}

int TPicture::Width() const {
  return data_ ? data_->image.Width() : 0;
}
int TPicture::Height() const {
  return data_ ? data_->image.Height() : 0;
}
const TPngImage* TPicture::Graphic() const {
  return data_ ? &data_->image : nullptr;
}

void TPicture::LoadFromPngBytes(std::span<const std::uint8_t> bytes) {
  *this = TPicture(TPngImage::FromPngBytes(bytes));
}

HBITMAP TPicture::Bitmap() const {
  if (!data_) return nullptr;
  if (data_->bitmap) return data_->bitmap.get();
  const TPngImage& image = data_->image;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.Width();
  info.bmiHeader.biHeight = -image.Height();  // top-down rows, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return nullptr;
  std::memcpy(bits, image.Pixels().data(), image.Pixels().size() * sizeof(std::uint32_t));
  data_->bitmap = std::move(bitmap);
  return data_->bitmap.get();
}

}  // namespace ui
