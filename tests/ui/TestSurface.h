// An off-screen 32-bit surface for painting tests: controls paint into its
// device context and the tests read its pixels back as 0x00RRGGBB.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "ui/Types.h"
#include "ui/UniqueHandle.h"

namespace uitest {

class TestSurface {
 public:
  TestSurface(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_.reset(CreateCompatibleDC(nullptr));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    const RECT all{0, 0, width, height};
    ui::UniqueBrush brush(CreateSolidBrush(fill));
    FillRect(dc_.get(), &all, brush.get());
  }
  ~TestSurface() { SelectObject(dc_.get(), old_); }
  TestSurface(const TestSurface&) = delete;
  TestSurface& operator=(const TestSurface&) = delete;

  HDC dc() const { return dc_.get(); }
  // 0x00RRGGBB, whatever GDI left in the alpha byte.
  std::uint32_t Pixel(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0x00FFFFFF;
  }
  // The alpha byte GDI or a buffered paint left in a pixel.
  std::uint8_t Alpha(int x, int y) const {
    GdiFlush();
    return static_cast<std::uint8_t>(bits_[y * width_ + x] >> 24);
  }
  // How many pixels of one colour lie inside `r`.
  int Count(ui::TRect r, std::uint32_t color) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
      for (int x = r.Left; x < r.Right; ++x) n += Pixel(x, y) == color;
    }
    return n;
  }

 private:
  int width_;
  ui::UniqueBitmap bitmap_;
  ui::UniqueMemoryDc dc_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// Channel-wise comparison with a tolerance for rounding in blends.
inline bool NearColor(std::uint32_t a, std::uint32_t b, int tolerance = 2) {
  for (int shift : {0, 8, 16}) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

}  // namespace uitest
