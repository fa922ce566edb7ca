#include "ui/Canvas.h"

#include "ui/Picture.h"
#include "ui/WinControl.h"

namespace ui {

namespace {

UniqueFont CreateFontFor(const TFont& font) {
  LOGFONTW lf{};
  lf.lfHeight = font.Height;
  lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = font.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&lf));
}

void BlendBitmap(HDC dc, int x, int y, int width, int height, const TPicture& picture) {
  HBITMAP bitmap = picture.Bitmap();
  if (bitmap == nullptr || width <= 0 || height <= 0) return;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  HGDIOBJ old = SelectObject(source.get(), bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, width, height, source.get(), 0, 0, picture.Width(), picture.Height(), blend);
  SelectObject(source.get(), old);
}

}  // namespace

TCanvas::TCanvas(HDC dc) : dc_(dc) {
  originalFont_ = GetCurrentObject(dc_, OBJ_FONT);
  originalBkMode_ = GetBkMode(dc_);
  originalTextColor_ = GetTextColor(dc_);
  SetBkMode(dc_, TRANSPARENT);
}

TCanvas::~TCanvas() {
  SelectObject(dc_, originalFont_);
  SetBkMode(dc_, originalBkMode_);
  SetTextColor(dc_, originalTextColor_);
}

void TCanvas::SetFont(const TFont& font) {
  if (fontRealised_ && font == font_) return;
  font_ = font;
  fontRealised_ = false;
}

void TCanvas::SetFontColor(TColor color) {
  font_.Color = color;
  if (fontRealised_) SetTextColor(dc_, ColorToRgb(color));
}

void TCanvas::RealiseFont() {
  if (fontRealised_) return;
  UniqueFont created = CreateFontFor(font_);
  if (created) {
    SelectObject(dc_, created.get());
    fontHandle_ = std::move(created);  // the old one is no longer selected
  }
  SetTextColor(dc_, ColorToRgb(font_.Color));
  fontRealised_ = true;
}

void TCanvas::SetTransparentText(bool transparent) {
  SetBkMode(dc_, transparent ? TRANSPARENT : OPAQUE);
  if (!transparent) SetBkColor(dc_, ColorToRgb(brushColor_));
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  RealiseFont();
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

int TCanvas::TextWidth(const std::wstring& text) {
  return TextExtent(text).cx;
}

int TCanvas::TextHeight(const std::wstring& text) {
  return TextExtent(text).cy;
}

int TCanvas::DrawTextW(const std::wstring& text, TRect& rect, UINT flags) {
  RealiseFont();
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  // DT_MODIFYSTRING may write up to four more characters (the ellipsis).
  std::wstring buffer = text;
  buffer.resize(text.size() + 4, L'\0');
  const int height = ::DrawTextW(dc_, buffer.data(), static_cast<int>(text.size()), &r, flags);
  rect = {r.left, r.top, r.right, r.bottom};
  return height;
}

void TCanvas::TextOutAt(int x, int y, const std::wstring& text) {
  RealiseFont();
  TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::FillRect(const TRect& rect) {
  if (brushColor_ == clNone) return;
  UniqueBrush brush(CreateSolidBrush(ColorToRgb(brushColor_)));
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(dc_, &r, brush.get());
}

void TCanvas::Draw(int x, int y, const TPicture& picture) {
  BlendBitmap(dc_, x, y, picture.Width(), picture.Height(), picture);
}

void TCanvas::StretchDraw(const TRect& rect, const TPicture& picture) {
  BlendBitmap(dc_, rect.Left, rect.Top, rect.Width(), rect.Height(), picture);
}

}  // namespace ui
