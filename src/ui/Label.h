// The standard text label: a window-less control that shows its caption in
// its font, aligned, optionally wrapped at words and shortened with an
// ellipsis, and opaque (filled with its colour) unless transparent.
// Transparency is the absence of the opaque control style, so a class may
// start transparent just by removing that flag.
#pragma once

#include <windows.h>

#include "ui/Control.h"

namespace ui {

enum TEllipsisPosition : std::uint8_t {
  epNone,
  epPathEllipsis,  // the middle of a path gives way
  epEndEllipsis,   // cut anywhere at the end
  epWordEllipsis,  // cut at the end, at a word
};

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TLabel"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  TEllipsisPosition EllipsisPosition() const { return ellipsis_; }
  void SetEllipsisPosition(TEllipsisPosition position);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  // "&" marks the next letter as the accelerator unless switched off.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool on);
  bool Transparent() const { return !HasStyle(csOpaque); }
  void SetTransparent(bool on);

  void Paint(TCanvas& canvas) override;
  // The DrawTextW flags the label draws with.
  UINT DrawTextFlags() const;

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void Loaded() override;
  // Fits the bounds to the text when AutoSize is on.
  void AdjustBounds();

 private:
  bool autoSize_ = true;
  bool wordWrap_ = false;
  TEllipsisPosition ellipsis_ = epNone;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool showAccelChar_ = true;
};

}  // namespace ui
