#include "skin/FormBorder.h"

#include <uxtheme.h>

#include <cstdint>

#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/UniqueHandle.h"

namespace skin {

namespace {

// State changes as the system's caption sends them (SC_xxx + HTCAPTION).
constexpr WPARAM kMaximize = 0xF032;
constexpr WPARAM kMinimize = 0xF022;
constexpr WPARAM kRestore = 0xF122;

// Where a left- or right-aligned caption keeps its distance from the ends:
// clear of the left cap, and of window buttons on the right.
constexpr int kCaptionLeftInset = 16;
constexpr int kCaptionRightInset = 70;

// A side bar made without its picture is this wide, so that it can still
// be grabbed.
constexpr int kBareSideWidth = 5;

ui::TAlign DockFor(TBorderType type) {
  switch (type) {
    case btFooter:
      return ui::alBottom;
    case btLefter:
      return ui::alLeft;
    case btRighter:
      return ui::alRight;
    default:
      return ui::alTop;
  }
}

bool IsSideBar(TBorderType type) {
  return type == btLefter || type == btRighter;
}

// Sets the alpha byte of every pixel of the buffer's `width` x `height`
// top-left area, which is where the bar's client rectangle lies in it.
void SetBufferOpaque(HPAINTBUFFER buffer, int width, int height) {
  RGBQUAD* bits = nullptr;
  int rowPixels = 0;
  if (FAILED(GetBufferedPaintBits(buffer, &bits, &rowPixels)) || bits == nullptr) return;
  for (int y = 0; y < height; ++y) {
    RGBQUAD* row = bits + static_cast<std::ptrdiff_t>(y) * rowPixels;
    for (int x = 0; x < width; ++x) row[x].rgbReserved = 255;
  }
}

// The system asks each thread that paints through buffers to say so once,
// and to end it before the thread does.
struct BufferedPaintSession {
  BufferedPaintSession() { BufferedPaintInit(); }
  ~BufferedPaintSession() { BufferedPaintUnInit(); }
};

}  // namespace

TFormBorder::TFormBorder(ui::TComponent* owner) : ui::TGraphicControl(owner) {
  SetColor(ui::clWindow);
  SetAlign(ui::alTop);
  OnResize = [this](ui::TComponent&) { LayoutChanged(); };
  OnDblClick = [this](ui::TComponent&) { ToggleMaximized(); };
  OnMouseDown = [this](ui::TComponent&, ui::TMouseButton button, ui::TShiftState, int x, int y) {
    StartMoveOrSize(button, x, y);
  };
  UpdateLayout();
}

TFormBorder::~TFormBorder() {
  // No button may call into a bar that is gone.
  Unhook(FMaxButton);
  Unhook(FRestoreButton);
  Unhook(FMinButton);
}

void TFormBorder::LayoutChanged() {
  UpdateLayout();
  Invalidate();
}

void TFormBorder::SetEx_BorderType(TBorderType type) {
  FBorderType = type;
  SetAlign(DockFor(type));
  if ((type == btLefter && FLeftPic.Empty()) || (type == btRighter && FRightPic.Empty())) {
    SetSideWidth(kBareSideWidth);
  }
  LayoutChanged();
}

void TFormBorder::SetSideWidth(int width) {
  if (width == Width()) return;
  SetWidth(width);
  // A bar docked to the right keeps to the right edge at its new width.
  if (Parent() != nullptr) Parent()->AlignControls();
}

void TFormBorder::SetAlignment(ui::TAlignment alignment) {
  FAlignment = alignment;
  Invalidate();
}

void TFormBorder::SetPicture(ui::TPicture& field, const ui::TPicture& picture, bool sizesGrips) {
  field.Assign(picture);
  if (sizesGrips) UpdateSizeRect();
  if (!field.Empty()) LayoutChanged();
}

void TFormBorder::SetEx_LeftPic(const ui::TPicture& picture) {
  SetPicture(FLeftPic, picture, false);
}

void TFormBorder::SetEx_RightPic(const ui::TPicture& picture) {
  SetPicture(FRightPic, picture, true);
}

void TFormBorder::SetEx_BorderPic(const ui::TPicture& picture) {
  SetPicture(FBorderPic, picture, true);
}

void TFormBorder::SetEx_ClientPic(const ui::TPicture& picture) {
  SetPicture(FClientPic, picture, false);
}

void TFormBorder::SetEx_RightBottomPic(const ui::TPicture& picture) {
  SetPicture(FRightBottomPic, picture, true);
}

void TFormBorder::SetCanMove(bool on) {
  FCanMove = on;
  if (on && IsSideBar(FBorderType)) FCanDragResize = false;
}

void TFormBorder::SetCanDragResize(bool on) {
  FCanDragResize = on;
  if (on && IsSideBar(FBorderType)) FCanMove = false;
  LayoutChanged();
}

void TFormBorder::SetSizeRectWidth(int width) {
  FSizeRectWidth = width;
  LayoutChanged();
}

void TFormBorder::SetSizeRectHeight(int height) {
  FSizeRectHeight = height;
  LayoutChanged();
}

bool TFormBorder::HitTest(const ui::TRect& area, ui::TPoint p) {
  return area.Left <= p.X && p.X <= area.Right && area.Top <= p.Y && p.Y <= area.Bottom;
}

void TFormBorder::UpdateLayout() {
  const int w = Width();
  const int h = Height();
  const int sw = FSizeRectWidth;
  const int sh = FSizeRectHeight;
  const int lw = FLeftPic.Width();
  const int lh = FLeftPic.Height();
  const int rw = FRightPic.Width();
  const int rh = FRightPic.Height();
  const int bh = FBorderPic.Height();
  switch (FBorderType) {
    case btHeader:
      FLeftGrip = FCanDragResize ? ui::TRect{0, 0, sw, sh} : ui::TRect{0, 0, 0, 0};
      FRightGrip = FCanDragResize ? ui::TRect{w - sw, 0, w, sh} : ui::TRect{w, 0, w, 0};
      FLeftRect = {0, FLeftGrip.Bottom, lw, lh};
      FRightRect = {w - rw, FRightGrip.Bottom, w, rh};
      FEdgeRect = {lw, 0, w - rw, bh};
      FMoveRect = {lw, bh, w - rw, h};
      break;
    case btFooter:
      FLeftGrip = FCanDragResize ? ui::TRect{0, h - sh, sw, h} : ui::TRect{0, h, 0, h};
      FRightGrip = FCanDragResize ? ui::TRect{w - sw, h - sh, w, h} : ui::TRect{w, h, w, h};
      FLeftRect = {0, 0, lw, FLeftGrip.Top};
      FRightRect = {w - rw, 0, w, FRightGrip.Top};
      FEdgeRect = {lw, h - bh, w - rw, h};
      FMoveRect = {lw, 0, w - rw, h - bh};
      FCornerRect = {FRightGrip.Left, FRightGrip.Top, FRightGrip.Left + FRightBottomPic.Width(),
                     FRightGrip.Top + FRightBottomPic.Height()};
      break;
    case btLefter:
      if (!FLeftPic.Empty()) SetSideWidth(lw);
      FLeftRect = FMoveRect = {0, 0, Width(), h};
      break;
    case btRighter:
      if (!FRightPic.Empty()) SetSideWidth(rw);
      FRightRect = FMoveRect = {0, 0, Width(), h};
      break;
  }
}

void TFormBorder::UpdateSizeRect() {
  if (FRightBottomPic.Empty()) return;
  if (!FRightPic.Empty()) FSizeRectWidth = FRightBottomPic.Width() + FRightPic.Width();
  if (!FBorderPic.Empty()) FSizeRectHeight = FRightBottomPic.Height() + FBorderPic.Height();
}

ui::TForm* TFormBorder::FindOwnerForm() {
  if (FOwnerForm != nullptr) return FOwnerForm;
  for (ui::TWinControl* p = Parent(); p != nullptr; p = p->Parent()) {
    if (auto* form = dynamic_cast<ui::TForm*>(p)) {
      FOwnerForm = form;
      break;
    }
  }
  return FOwnerForm;
}

TFormState TFormBorder::GetFormState() {
  ui::TForm* form = FindOwnerForm();
  if (form == nullptr || !form->HandleAllocated()) return TFormState::fsNormal;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(form->Handle(), &placement)) return TFormState::fsNormal;
  if (placement.showCmd == SW_SHOWMINIMIZED) return TFormState::fsMinimized;
  if (placement.showCmd == SW_SHOWMAXIMIZED) return TFormState::fsMaximized;
  return TFormState::fsNormal;
}

LRESULT TFormBorder::SendFormCommand(UINT message, WPARAM wParam, LPARAM lParam) {
  ui::TForm* form = FindOwnerForm();
  if (form == nullptr || !form->HandleAllocated()) return 0;
  return SendMessageW(form->Handle(), message, wParam, lParam);
}

void TFormBorder::Loaded() {
  ui::TGraphicControl::Loaded();
  // The system offers moving, minimizing (and maximizing, when the bar
  // resizes) only to windows with these styles.
  if (ui::TForm* form = FindOwnerForm()) {
    form->AddWindowStyle(WS_SYSMENU | WS_MINIMIZEBOX | (FCanDragResize ? WS_MAXIMIZEBOX : 0));
  }
}

void TFormBorder::MouseEnter() {
  FSavedCursor = Cursor();
  ui::TGraphicControl::MouseEnter();
}

void TFormBorder::MouseLeave() {
  SetCursor(FSavedCursor);
  ui::TGraphicControl::MouseLeave();
}

ui::TCursor TFormBorder::CursorAt(ui::TPoint p) const {
  switch (FBorderType) {
    case btHeader:
    case btFooter: {
      const bool header = FBorderType == btHeader;
      if (HitTest(FLeftGrip, p)) return header ? ui::crSizeNWSE : ui::crSizeNESW;
      if (HitTest(FRightGrip, p)) return header ? ui::crSizeNESW : ui::crSizeNWSE;
      if (HitTest(FLeftRect, p) || HitTest(FRightRect, p)) return ui::crSizeWE;
      if (HitTest(FEdgeRect, p)) return ui::crSizeNS;
      return ui::crDefault;
    }
    case btLefter:
      return HitTest(FLeftRect, p) ? ui::crSizeWE : ui::crDefault;
    case btRighter:
      return HitTest(FRightRect, p) ? ui::crSizeWE : ui::crDefault;
  }
  return ui::crDefault;
}

void TFormBorder::MouseMove(ui::TShiftState shift, int x, int y) {
  if (FCanDragResize && GetFormState() != TFormState::fsMaximized) SetCursor(CursorAt({x, y}));
  ui::TGraphicControl::MouseMove(shift, x, y);
}

WPARAM TFormBorder::SizeCommandAt(ui::TPoint p) const {
  switch (FBorderType) {
    case btHeader:
    case btFooter: {
      const bool header = FBorderType == btHeader;
      // Grips first: where a corner overlaps a side, the corner wins.
      if (HitTest(FLeftGrip, p)) return header ? kSizeTopLeft : kSizeBottomLeft;
      if (HitTest(FRightGrip, p)) return header ? kSizeTopRight : kSizeBottomRight;
      if (HitTest(FLeftRect, p)) return kSizeLeft;
      if (HitTest(FRightRect, p)) return kSizeRight;
      if (HitTest(FEdgeRect, p)) return header ? kSizeTop : kSizeBottom;
      return 0;
    }
    case btLefter:
      return HitTest(FLeftRect, p) ? kSizeLeft : 0;
    case btRighter:
      return HitTest(FRightRect, p) ? kSizeRight : 0;
  }
  return 0;
}

void TFormBorder::StartMoveOrSize(ui::TMouseButton button, int x, int y) {
  if (button != ui::mbLeft || GetFormState() == TFormState::fsMaximized) return;
  const ui::TPoint p{x, y};
  // The system runs its own move or size loop; it needs the mouse.
  if (FCanDragResize) {
    if (const WPARAM command = SizeCommandAt(p); command != 0) {
      ReleaseCapture();
      SendFormCommand(WM_SYSCOMMAND, command, 0);
      return;
    }
  }
  if (FCanMove && HitTest(FMoveRect, p)) {
    ReleaseCapture();
    SendFormCommand(WM_SYSCOMMAND, kMoveByCaption, 0);
  }
}

void TFormBorder::ToggleMaximized() {
  ui::TForm* form = FindOwnerForm();
  if (!FCanDragResize || form == nullptr) return;
  const TFormState state = GetFormState();
  if (state == TFormState::fsNormal && FMaxButton.control != nullptr) {
    ReleaseCapture();
    SendFormCommand(WM_SYSCOMMAND, kMaximize, 0);
    form->SetAlign(ui::alClient);
    if (FRestoreButton.control != nullptr) FRestoreButton.control->SetVisible(true);
    FMaxButton.control->SetVisible(false);
    if (OnFormMaximize) OnFormMaximize(*this);
  } else if (state == TFormState::fsMaximized && FRestoreButton.control != nullptr) {
    ReleaseCapture();
    form->SetAlign(ui::alNone);
    SendFormCommand(WM_SYSCOMMAND, kRestore, 0);
    if (FMaxButton.control != nullptr) FMaxButton.control->SetVisible(true);
    FRestoreButton.control->SetVisible(false);
    if (OnFormNormal) OnFormNormal(*this);
  }
}

void TFormBorder::HookButton(Hook& hook, ui::TControl* button, ui::TNotifyEvent action) {
  Unhook(hook);
  hook.control = button;
  if (button == nullptr) return;
  hook.alive.emplace(*button);
  hook.saved = button->OnMouseUp;
  button->OnMouseUp = [action = std::move(action), saved = hook.saved](
                          ui::TComponent& sender, ui::TMouseButton b, ui::TShiftState shift, int x,
                          int y) {
    if (b == ui::mbLeft) action(sender);
    if (saved) saved(sender, b, shift, x, y);
  };
}

void TFormBorder::Unhook(Hook& hook) {
  if (hook.control != nullptr && hook.alive && hook.alive->Alive()) {
    hook.control->OnMouseUp = std::move(hook.saved);
  }
  hook.control = nullptr;
  hook.alive.reset();
  hook.saved = nullptr;
}

void TFormBorder::SetMaxFormButton(ui::TControl* button) {
  HookButton(FMaxButton, button, [this](ui::TComponent&) {
    if (OnDblClick) OnDblClick(*this);
  });
}

void TFormBorder::SetRestoreFormButton(ui::TControl* button) {
  HookButton(FRestoreButton, button, [this](ui::TComponent&) {
    if (OnDblClick) OnDblClick(*this);
  });
}

void TFormBorder::SetMinFormButtom(ui::TControl* button) {
  HookButton(FMinButton, button, [this](ui::TComponent&) {
    SendFormCommand(WM_SYSCOMMAND, kMinimize, 0);
    if (OnFormMinimize) OnFormMinimize(*this);
  });
}

void TFormBorder::PaintContent(HDC dc) {
  ui::TCanvas canvas(dc);
  const ui::TRect client = ClientRect();
  canvas.SetBrushColor(Color());
  canvas.FillRect(client);
  switch (FBorderType) {
    case btHeader:
      if (!FLeftPic.Empty()) canvas.Draw(FLeftRect.Left, FLeftGrip.Top, FLeftPic);
      if (!FRightPic.Empty()) canvas.Draw(FRightRect.Left, FRightGrip.Top, FRightPic);
      if (!FBorderPic.Empty()) canvas.StretchDraw(FEdgeRect, FBorderPic);
      if (!FClientPic.Empty()) canvas.StretchDraw(FMoveRect, FClientPic);
      break;
    case btFooter:
      if (!FLeftPic.Empty()) canvas.Draw(FLeftRect.Left, FLeftRect.Top, FLeftPic);
      if (!FRightPic.Empty()) canvas.Draw(FRightRect.Left, FRightRect.Top, FRightPic);
      if (!FBorderPic.Empty()) canvas.StretchDraw(FEdgeRect, FBorderPic);
      if (!FClientPic.Empty()) canvas.StretchDraw(FMoveRect, FClientPic);
      if (!FRightBottomPic.Empty()) canvas.Draw(FCornerRect.Left, FCornerRect.Top, FRightBottomPic);
      break;
    case btLefter:
      if (!FLeftPic.Empty()) canvas.StretchDraw(client, FLeftPic);
      break;
    case btRighter:
      if (!FRightPic.Empty()) canvas.StretchDraw(client, FRightPic);
      break;
  }
  if (Caption().empty()) return;
  canvas.SetFont(Font());
  ui::TRect r = client;
  UINT align = DT_CENTER;
  if (FAlignment == ui::taLeftJustify) {
    r.Left = kCaptionLeftInset;
    align = DT_LEFT;
  } else if (FAlignment == ui::taRightJustify) {
    r.Right = Width() - kCaptionRightInset;
    align = DT_RIGHT;
  }
  canvas.SetTransparentText(true);
  canvas.DrawTextW(Caption(), r, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void TFormBorder::Paint(ui::TCanvas& canvas) {
  // Drawn off-screen first and copied whole, so the bar never flickers.
  thread_local BufferedPaintSession session;
  const RECT client{0, 0, Width(), Height()};
  BP_PAINTPARAMS params{};
  params.cbSize = sizeof params;
  HDC buffer = nullptr;
  ui::UniqueBufferedPaint paint(
      BeginBufferedPaint(canvas.Handle(), &client, BPBF_TOPDOWNDIB, &params, &buffer));
  if (!paint || buffer == nullptr) {
    PaintContent(canvas.Handle());
    return;
  }
  PaintContent(buffer);
  // Text leaves the alpha bytes of a 32-bit buffer clear; the bar is opaque
  // everywhere. Some systems do not implement setting them in one call.
  if (FAILED(BufferedPaintSetAlpha(paint.get(), &client, 255))) {
    SetBufferOpaque(paint.get(), Width(), Height());
  }
}

}  // namespace skin
