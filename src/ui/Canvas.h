// Drawing on a device context with the settings a control paints with: the
// font (copied in, realised lazily), the brush colour, the background mode,
// text measuring, DrawTextW, and pictures at their own size or stretched,
// blended by their per-pixel alpha. The canvas does not own the device
// context; it restores what it selected into it when it ends.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Font.h"
#include "ui/Types.h"
#include "ui/UniqueHandle.h"

namespace ui {

class TPicture;

class TCanvas {
 public:
  explicit TCanvas(HDC dc);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  void SetFontColor(TColor color);

  TColor BrushColor() const { return brushColor_; }
  void SetBrushColor(TColor color) { brushColor_ = color; }
  // Text leaves what is beneath its cells alone when transparent.
  void SetTransparentText(bool transparent);

  int TextWidth(const std::wstring& text);
  int TextHeight(const std::wstring& text);
  // DrawTextW with the canvas font and colour; `rect` receives what the
  // system writes back (with DT_CALCRECT or DT_MODIFYSTRING the measured
  // rectangle). Returns the text's height.
  int DrawTextW(const std::wstring& text, TRect& rect, UINT flags);
  void TextOutAt(int x, int y, const std::wstring& text);
  void FillRect(const TRect& rect);

  // The picture at its own size with its top-left corner at (x, y).
  void Draw(int x, int y, const TPicture& picture);
  void StretchDraw(const TRect& rect, const TPicture& picture);

 private:
  void RealiseFont();
  SIZE TextExtent(const std::wstring& text);

  HDC dc_;
  TFont font_;
  bool fontRealised_ = false;
  UniqueFont fontHandle_;
  HGDIOBJ originalFont_ = nullptr;
  TColor brushColor_ = clWhite;
  int originalBkMode_ = 0;
  COLORREF originalTextColor_ = 0;
};

}  // namespace ui
