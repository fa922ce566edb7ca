// The font description that controls and canvases hold: a plain value,
// copied (never shared) between a control's property and its canvas.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Types.h"

namespace ui {

using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1 << 0;
inline constexpr TFontStyles fsItalic = 1 << 1;
inline constexpr TFontStyles fsUnderline = 1 << 2;
inline constexpr TFontStyles fsStrikeOut = 1 << 3;

// The platform's DEFAULT_CHARSET.
inline constexpr std::uint8_t kDefaultCharset = 1;

struct TFont {
  std::wstring Name = L"Tahoma";
  // Negative: character height in pixels; positive: cell height.
  int Height = -11;
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  std::uint8_t Charset = kDefaultCharset;

  friend bool operator==(const TFont&, const TFont&) = default;
};

}  // namespace ui
