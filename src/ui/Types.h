// Plain value types shared by every control: geometry, colours, cursors,
// alignment, mouse buttons and shift states. Kept free of <windows.h> so that
// code which only computes layouts or colours needs no OS header.
#pragma once

#include <cstdint>

namespace ui {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive, as everywhere in the platform.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// 0x00BBGGRR, or 0xFF000000 + a system colour index.
using TColor = std::uint32_t;
inline constexpr TColor clSystemFlag = 0xFF000000;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clFuchsia = 0x00FF00FF;
inline constexpr TColor clBtnFace = clSystemFlag | 15;
inline constexpr TColor clWindow = clSystemFlag | 5;
inline constexpr TColor clWindowText = clSystemFlag | 8;
inline constexpr TColor cl3DDkShadow = clSystemFlag | 21;
// "No colour": a brush of this colour paints nothing.
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr bool IsSystemColor(TColor c) {
  return (c & clSystemFlag) == clSystemFlag;
}

// Indexes into the screen's cursor table; negative ones are the built-in
// cursors, positive ones are free for a program's own.
using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// How a control (or a picture item) takes its place in its container.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Keys and mouse buttons held during a mouse event.
using TShiftState = std::uint16_t;
inline constexpr TShiftState ssShift = 1 << 0;
inline constexpr TShiftState ssAlt = 1 << 1;
inline constexpr TShiftState ssCtrl = 1 << 2;
inline constexpr TShiftState ssLeft = 1 << 3;
inline constexpr TShiftState ssRight = 1 << 4;
inline constexpr TShiftState ssMiddle = 1 << 5;
inline constexpr TShiftState ssDouble = 1 << 6;

}  // namespace ui
