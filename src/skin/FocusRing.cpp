#include "skin/FocusRing.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/Canvas.h"
#include "ui/PngImage.h"

namespace skin {

namespace {

// Each pixel's coverage is measured at 4 x 4 points: enough for smooth
// corners, and exact (all or nothing) on straight edges at whole pixels.
constexpr int kSamples = 4;

// Whether a point lies inside the rectangle (0, 0, w, h) with round
// corners of radius r.
bool InsideRounded(double x, double y, double w, double h, double r) {
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  const double cx = std::clamp(x, r, w - r);
  const double cy = std::clamp(y, r, h - r);
  const double dx = x - cx;
  const double dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

}  // namespace

ui::TPicture FocusRingPicture(int width, int height, int radius, int thickness, ui::TColor color) {
  if (width <= 0 || height <= 0) return {};
  const double r = std::min({static_cast<double>(radius), width / 2.0, height / 2.0});
  const double t = thickness;
  const double innerR = std::max(r - t, 0.0);
  const auto red = static_cast<std::uint8_t>(color & 0xFF);
  const auto green = static_cast<std::uint8_t>((color >> 8) & 0xFF);
  const auto blue = static_cast<std::uint8_t>((color >> 16) & 0xFF);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int covered = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = x + (sx + 0.5) / kSamples;
          const double py = y + (sy + 0.5) / kSamples;
          covered += InsideRounded(px, py, width, height, r) &&
                     !InsideRounded(px - t, py - t, width - 2 * t, height - 2 * t, innerR);
        }
      }
      const int alpha = (covered * 255 + kSamples * kSamples / 2) / (kSamples * kSamples);
      pixels[static_cast<std::size_t>(y) * width + x] =
          ui::PremultiplyRgba(red, green, blue, static_cast<std::uint8_t>(alpha));
    }
  }
  return ui::TPicture(ui::TPngImage::FromPixels(width, height, std::move(pixels)));
}

void PaintFocusRing(ui::TCanvas& canvas, const ui::TRect& outer, int radius, int thickness) {
  canvas.StretchDraw(
      outer, FocusRingPicture(outer.Width(), outer.Height(), radius, thickness, kFocusRingColor));
}

}  // namespace skin
