#include "ui/Label.h"

#include "ui/Canvas.h"
#include "ui/UniqueHandle.h"
#include "ui/WinControl.h"

namespace ui {

namespace {
// Measuring must see the whole text: an ellipsis would shorten it to the
// rectangle being measured.
UINT MeasureFlags(UINT drawFlags) {
  return (drawFlags & ~(DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) | DT_CALCRECT;
}
}  // namespace

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 65, 17);
  SetAccessibleRole(arStaticText);
}

void TLabel::SetAutoSize(bool on) {
  if (on == autoSize_) return;
  autoSize_ = on;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool on) {
  if (on == wordWrap_) return;
  wordWrap_ = on;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetEllipsisPosition(TEllipsisPosition position) {
  if (position == ellipsis_) return;
  ellipsis_ = position;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
  if (layout == layout_) return;
  layout_ = layout;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool on) {
  if (on == showAccelChar_) return;
  showAccelChar_ = on;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool on) {
  if (on == Transparent()) return;
  SetControlStyle(on ? (ControlStyle() & ~csOpaque) : (ControlStyle() | csOpaque));
  Invalidate();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Loaded() {
  AdjustBounds();
}

UINT TLabel::DrawTextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  switch (alignment_) {
    case taRightJustify:
      flags |= DT_RIGHT;
      break;
    case taCenter:
      flags |= DT_CENTER;
      break;
    default:
      flags |= DT_LEFT;
      break;
  }
  switch (ellipsis_) {
    case epPathEllipsis:
      flags |= DT_PATH_ELLIPSIS;
      break;
    case epEndEllipsis:
      flags |= DT_END_ELLIPSIS;
      break;
    case epWordEllipsis:
      flags |= DT_WORD_ELLIPSIS;
      break;
    default:
      break;
  }
  // Wrapped text that may be cut must not show a half line at the bottom.
  if (wordWrap_ && ellipsis_ != epNone) flags |= DT_EDITCONTROL;
  return flags;
}

void TLabel::Paint(TCanvas& canvas) {
  if (!Transparent()) {
    canvas.SetBrushColor(Color());
    canvas.FillRect(ClientRect());
  }
  canvas.SetTransparentText(true);
  if (!Enabled()) canvas.SetFontColor(clSystemFlag | COLOR_GRAYTEXT);
  TRect rect = ClientRect();
  const UINT flags = DrawTextFlags();
  if (layout_ != tlTop) {
    TRect measured = rect;
    canvas.DrawTextW(Caption(), measured, MeasureFlags(flags));
    const int offset = rect.Height() - measured.Height();
    rect.Top += layout_ == tlCenter ? offset / 2 : offset;
  }
  canvas.DrawTextW(Caption(), rect, flags);
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  UniqueScreenDc screen(GetDC(nullptr));
  if (!screen) return;
  TRect measured{0, 0, wordWrap_ ? Width() : 0, 0};
  {
    TCanvas canvas(screen.get());
    canvas.SetFont(Font());
    const std::wstring text = Caption().empty() ? std::wstring(L" ") : Caption();
    canvas.DrawTextW(text, measured, MeasureFlags(DrawTextFlags()));
  }
  int left = Left();
  // A right-aligned label grows to the left, so its right edge stays.
  if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - measured.Width();
  SetBounds(left, Top(), measured.Width(), measured.Height());
}

}  // namespace ui
