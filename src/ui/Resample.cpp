#include "ui/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ui {

namespace {

using Channels = std::array<double, 4>;

Channels Split(std::uint32_t pixel) {
  return {static_cast<double>(pixel >> 24), static_cast<double>((pixel >> 16) & 0xFF),
          static_cast<double>((pixel >> 8) & 0xFF), static_cast<double>(pixel & 0xFF)};
}

std::uint32_t Join(const Channels& c) {
  auto byte = [](double v) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
  };
  // Rounding may leave a colour a hair above its alpha; premultiplied
  // pixels never have that.
  const std::uint32_t a = byte(c[0]);
  return (a << 24) | (std::min(byte(c[1]), a) << 16) | (std::min(byte(c[2]), a) << 8) |
         std::min(byte(c[3]), a);
}

// One row or column: `from` samples `stride` apart made into `to`.
void ResampleLine(const Channels* in, int from, int stride, Channels* out, int to, int outStride) {
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double start = i * step;
    const double end = start + step;
    Channels sum{};
    double weight = 0;
    for (int s = static_cast<int>(start); s < from && s < end; ++s) {
      const double share = std::min<double>(end, s + 1) - std::max<double>(start, s);
      if (share <= 0) continue;
      const Channels& c = in[static_cast<std::ptrdiff_t>(s) * stride];
      for (int k = 0; k < 4; ++k) sum[k] += c[k] * share;
      weight += share;
    }
    Channels& target = out[static_cast<std::ptrdiff_t>(i) * outStride];
    for (int k = 0; k < 4; ++k) target[k] = weight > 0 ? sum[k] / weight : 0;
  }
}

}  // namespace

TPngImage ResampleImage(const TPngImage& image, int width, int height) {
  const int w = image.Width();
  const int h = image.Height();
  if ((w == width && h == height) || image.Empty() || width < 1 || height < 1) return image;
  std::vector<Channels> source(image.Pixels().size());
  std::transform(image.Pixels().begin(), image.Pixels().end(), source.begin(), Split);
  // Across first, then down.
  std::vector<Channels> across(static_cast<std::size_t>(width) * h);
  for (int y = 0; y < h; ++y) {
    ResampleLine(&source[static_cast<std::size_t>(y) * w], w, 1,
                 &across[static_cast<std::size_t>(y) * width], width, 1);
  }
  std::vector<Channels> down(static_cast<std::size_t>(width) * height);
  for (int x = 0; x < width; ++x) ResampleLine(&across[x], h, width, &down[x], height, width);
  std::vector<std::uint32_t> pixels(down.size());
  std::transform(down.begin(), down.end(), pixels.begin(), Join);
  return TPngImage::FromPixels(width, height, std::move(pixels));
}

}  // namespace ui
