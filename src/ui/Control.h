// A visible component: its place in a parent container, its size, its look
// settings (font, colour, cursor, hint) and the mouse reactions that the
// container routes to it. TGraphicControl is the window-less kind: it has no
// window of its own and paints on its parent's surface, inside its bounds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/AccessibleRole.h"
#include "ui/Component.h"
#include "ui/Font.h"
#include "ui/Scale.h"
#include "ui/Types.h"

namespace ui {

class TCanvas;
class TWinControl;

using TNotifyEvent = std::function<void(TComponent& sender)>;
using TMouseEvent =
    std::function<void(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent& sender, TShiftState shift, int x, int y)>;
// A press by the keyboard begins (true) or ends (false).
using TPressEvent = std::function<void(TComponent& sender, bool pressed)>;

// What a control declares about itself to its container.
using TControlStyle = std::uint16_t;
// Paints its whole rectangle: nothing beneath needs painting first.
inline constexpr TControlStyle csOpaque = 1 << 0;
// Keeps the mouse while a button is held on it; clicks need this.
inline constexpr TControlStyle csCaptureMouse = 1 << 1;
inline constexpr TControlStyle csClickEvents = 1 << 2;
inline constexpr TControlStyle csDoubleClicks = 1 << 3;
inline constexpr TControlStyle csAcceptsControls = 1 << 4;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;

  std::wstring_view ClassName() const override { return L"TControl"; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  TRect ClientRect() const { return {0, 0, width_, height_}; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  // Visible itself and every container up to a window that shows.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TCursor Cursor() const { return cursor_; }
  // Takes effect at once while the mouse is over the control.
  void SetCursor(TCursor cursor);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(std::wstring hint) { hint_ = std::move(hint); }
  // ShowHint follows the parent's until set.
  bool ShowHint() const;
  void SetShowHint(bool show);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v) { parentShowHint_ = v; }

  // The text a control shows (a label's caption, a window's title).
  const std::wstring& Caption() const { return caption_; }
  virtual void SetCaption(const std::wstring& caption);

  // The font follows the parent's until one is set.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool follow);

  TColor Color() const { return color_; }
  void SetColor(TColor color);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  TControlStyle ControlStyle() const { return style_; }
  void SetControlStyle(TControlStyle style) { style_ = style; }
  bool HasStyle(TControlStyle flag) const { return (style_ & flag) != 0; }

  // Moves the control above its siblings of the same kind (window-less
  // controls among window-less ones, windows among windows).
  virtual void BringToFront();
  virtual void SendToBack();

  // Requests a repaint of the control's area; Repaint paints it at once.
  virtual void Invalidate();
  virtual void Repaint();

  // Paints the control; the canvas origin is the control's top-left corner
  // and the canvas is clipped to its bounds.
  virtual void Paint(TCanvas& canvas);

  // Window-less controls have none; windowed ones answer their window.
  virtual bool IsWindowed() const { return false; }

  // The keyboard (KeyboardFocus.h). A tab stop takes its form's focus with
  // Tab, in the order the controls were placed; a window-less one that is
  // enabled and visible in its form can take it.
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on);
  bool CanFocus() const;
  bool Focused() const;
  // Takes the form's focus when it can; true when it has it afterwards.
  bool SetFocus();
  // What the focus cue may cover, in client coordinates; it may reach a
  // few pixels beyond the control, which its container repaints with it.
  virtual TRect FocusCueArea() const { return ClientRect(); }
  // Draws the cue that the control has the focus, after the container has
  // painted all its window-less controls. The canvas's origin is the
  // control's top-left corner; it is clipped to the container only.
  virtual void PaintFocusCue(TCanvas& canvas);

  // Screen readers (AccessibleForm.h). The name is the caption unless one
  // is set (a button that shows only a picture needs one).
  TAccessibleRole AccessibleRole() const { return accessibleRole_; }
  void SetAccessibleRole(TAccessibleRole role) { accessibleRole_ = role; }
  const std::wstring& AccessibleName() const;
  void SetAccessibleName(const std::wstring& name);
  // The value a reader announces (a progress bar's percentage); none by default.
  virtual std::wstring AccessibleValue() const { return {}; }

  // A point in the parent's client coordinates, in this control's.
  TPoint ParentToClient(TPoint p) const { return {p.X - left_, p.Y - top_}; }

  // Follows its window from a screen of `from` dots per inch to one of
  // `dpi`: the bounds and an own font become the layout's scaled by dpi / 96
  // (Scale.h). Controls with pixel values of their own scale those as well
  // (ControlScaling.cpp and the skin's Scaling.cpp).
  virtual void ChangeScale(int from, int dpi);
  // The resolution the control is drawn for (96 until ChangeScale), for
  // what it draws in pixels of its own.
  int Dpi() const { return dpi_; }
  // Runs after ChangeScale, once the form has its pictures for the new
  // scale: a control that lays itself out from its pictures' sizes does so
  // again here.
  virtual void LayoutAfterScaling() {}

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;
  TPressEvent OnKeyboardPress;

 protected:
  friend class TWinControl;
  friend class TKeyboardFocus;
  friend class TAccessibleForm;

  // Reactions routed by the container. The defaults raise the events.
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Sees a left press before anything else; true swallows it (no capture,
  // no MouseDown, no click follows).
  virtual bool PreviewLeftButtonDown(int /*x*/, int /*y*/) { return false; }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  virtual void EnabledChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void Resized();
  // Records bounds that already took effect elsewhere (the system moved or
  // sized our window): no repaint is requested and no window is moved.
  void StoreBounds(const TRect& bounds);
  // The parent's font changed; followers pass it on.
  virtual void ParentFontChanged();
  // The bounds for `dpi` (recorded as applied: set them next).
  TRect ScaledBounds(int from, int dpi);
  // The layout's size (at 96 dpi) of the control, now drawn for `from`.
  int LayoutWidth(int from) const { return scaledWidth_.Layout(width_, from); }
  int LayoutHeight(int from) const { return scaledHeight_.Layout(height_, from); }
  // An own font scaled for `dpi`; a font that follows the parent's is left.
  void ScaleFont(int from, int dpi);
  // Enter or Space went down on the focused control (true), or came up or
  // was abandoned (false); a click follows a press that came up. The
  // default raises OnKeyboardPress.
  virtual void KeyboardPress(bool pressed);
  // Tells the screen readers that listen; nothing for a control without a
  // role or outside a form's window.
  void NotifyAccessible(TAccessibleChange change) const;

 private:
  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TCursor cursor_ = crDefault;
  std::wstring hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  std::wstring caption_;
  TFont font_;
  bool parentFont_ = true;
  TColor color_ = clBtnFace;
  TAlign align_ = alNone;
  TControlStyle style_ = csCaptureMouse | csClickEvents | csDoubleClicks;
  // The layout's bounds and font height, kept for every scale.
  TScaledValue scaledLeft_, scaledTop_, scaledWidth_, scaledHeight_, scaledFontHeight_;
  int dpi_ = kDesignDpi;
  bool tabStop_ = false;
  TAccessibleRole accessibleRole_ = arNone;
  std::wstring accessibleName_;
};

// A control without a window: the parent paints it and routes the mouse.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner = nullptr) : TControl(owner) {}
  std::wstring_view ClassName() const override { return L"TGraphicControl"; }
};

}  // namespace ui
