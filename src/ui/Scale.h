// The arithmetic of drawing a window for screens of any resolution. Window
// layouts are written in pixels at 96 dots per inch; a window on a screen
// of another resolution scales every length and position of its layout by
// dpi / 96 with the one rounding rule below, and nowhere else is a layout
// value rounded. A position and a size are each scaled on their own, so a
// control is always as large as its pictures at that scale, and a line one
// pixel thick at 96 dpi is ScaleValue(1, dpi) pixels thick wherever it is.
// The art script (src/app/art/render.py) draws the pictures with the same
// rule. Free of <windows.h>.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

namespace ui {

inline constexpr int kDesignDpi = 96;

// value * dpi / 96 to the nearest whole pixel, halves away from zero: 463 is
// 579 at 120 dpi, 695 at 144 (694.5), 926 at 192; -11 is -17 at 144.
constexpr int ScaleValue(int value, int dpi) {
  const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : std::int64_t{value};
  const auto scaled =
      static_cast<int>((magnitude * dpi * 2 + kDesignDpi) / (2 * std::int64_t{kDesignDpi}));
  return value < 0 ? -scaled : scaled;
}

// The other way: a pixel value at `dpi` in layout pixels, by the same rule.
constexpr int UnscaleValue(int value, int dpi) {
  if (dpi <= 0) return value;
  const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : std::int64_t{value};
  const auto unscaled =
      static_cast<int>((magnitude * kDesignDpi * 2 + dpi) / (2 * std::int64_t{dpi}));
  return value < 0 ? -unscaled : unscaled;
}

// One pixel value of a control that follows the scale: the layout's value
// is kept, and each scale is computed from it, so moving a window between
// screens of different resolutions never gathers rounding. A value the
// program changed since the last scaling counts as set at that scale.
class TScaledValue {
 public:
  // The layout's value, given the value the control holds now at `from`.
  int Layout(int current, int from) const {
    return applied_ && current == *applied_ ? design_ : UnscaleValue(current, from);
  }
  // The value for `dpi`, remembered as the one applied.
  int ScaleTo(int current, int from, int dpi) {
    design_ = Layout(current, from);
    applied_ = ScaleValue(design_, dpi);
    return *applied_;
  }

 private:
  int design_ = 0;
  std::optional<int> applied_;
};

// The layout's values of several pixel fields of one object, each kept by
// the field's address as a TScaledValue; for controls with pixel values of
// their own beyond their bounds.
class TScaledFields {
 public:
  int ScaleTo(const int& field, int from, int dpi) {
    return values_[&field].ScaleTo(field, from, dpi);
  }

 private:
  std::map<const int*, TScaledValue> values_;
};

}  // namespace ui
