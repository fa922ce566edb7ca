// The picture-drawn caption and edge bar of a borderless window. The skin
// has no system frame, so this window-less bar docks to one side of its
// form and stands in for it: dragging its middle moves the form, its edges
// and corner grips resize it, a double-click toggles maximized and normal
// (when the form has window buttons for that), and it can drive separate
// maximize, restore and minimize buttons. Every move, size and state change
// is the system's own, asked for with WM_SYSCOMMAND. The bar owns its five
// pictures; the form and the window buttons are only referred to.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/Control.h"
#include "ui/Picture.h"

namespace ui {
class TForm;
}

namespace skin {

// Which side of its parent the bar docks to.
enum TBorderType : std::uint8_t { btHeader, btFooter, btLefter, btRighter };

enum class TFormState : std::uint8_t { fsNormal, fsMinimized, fsMaximized };

// The system commands the bar sends its form (WM_SYSCOMMAND codes: the
// resize ones are SC_SIZE plus the edge, as the system's frame sends them).
inline constexpr WPARAM kSizeLeft = 0xF001;
inline constexpr WPARAM kSizeRight = 0xF002;
inline constexpr WPARAM kSizeTop = 0xF003;
inline constexpr WPARAM kSizeTopLeft = 0xF004;
inline constexpr WPARAM kSizeTopRight = 0xF005;
inline constexpr WPARAM kSizeBottom = 0xF006;
inline constexpr WPARAM kSizeBottomLeft = 0xF007;
inline constexpr WPARAM kSizeBottomRight = 0xF008;
inline constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE + HTCAPTION

class TFormBorder : public ui::TGraphicControl {
 public:
  explicit TFormBorder(ui::TComponent* owner = nullptr);
  ~TFormBorder() override;
  std::wstring_view ClassName() const override { return L"TFormBorder"; }

  // Published properties besides the inherited Caption, Color and Font.
  // Setting one that changes the look repaints.
  TBorderType Ex_BorderType() const { return FBorderType; }
  void SetEx_BorderType(TBorderType type);
  ui::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(ui::TAlignment alignment);
  const ui::TPicture& Ex_LeftPic() const { return FLeftPic; }
  const ui::TPicture& Ex_RightPic() const { return FRightPic; }
  const ui::TPicture& Ex_BorderPic() const { return FBorderPic; }
  const ui::TPicture& Ex_ClientPic() const { return FClientPic; }
  const ui::TPicture& Ex_RightBottomPic() const { return FRightBottomPic; }
  // Each copies the picture; the grip size follows the right, edge and
  // corner pictures (see UpdateSizeRect).
  void SetEx_LeftPic(const ui::TPicture& picture);
  void SetEx_RightPic(const ui::TPicture& picture);
  void SetEx_BorderPic(const ui::TPicture& picture);
  void SetEx_ClientPic(const ui::TPicture& picture);
  void SetEx_RightBottomPic(const ui::TPicture& picture);
  // A side bar either moves or resizes the form, never both.
  bool CanMove() const { return FCanMove; }
  void SetCanMove(bool on);
  bool CanDragResize() const { return FCanDragResize; }
  void SetCanDragResize(bool on);
  int SizeRectWidth() const { return FSizeRectWidth; }
  void SetSizeRectWidth(int width);
  int SizeRectHeight() const { return FSizeRectHeight; }
  void SetSizeRectHeight(int height);

  // Optional window buttons, not owned. The bar hooks their left-button
  // release: the maximize and restore buttons raise the bar's double-click
  // event, the minimize button minimizes the form; whatever the button did
  // on release before still runs afterwards. A replaced button, or every
  // button when the bar goes, gets its own release handler back.
  ui::TControl* MaxFormButton() const { return FMaxButton.control; }
  void SetMaxFormButton(ui::TControl* button);
  ui::TControl* RestoreFormButton() const { return FRestoreButton.control; }
  void SetRestoreFormButton(ui::TControl* button);
  ui::TControl* MinFormButtom() const { return FMinButton.control; }
  void SetMinFormButtom(ui::TControl* button);

  // Raised after the bar changed the form's state.
  ui::TNotifyEvent OnFormMaximize;
  ui::TNotifyEvent OnFormNormal;
  ui::TNotifyEvent OnFormMinimize;

  // The hit-test and drawing areas, in the bar's coordinates. A point
  // belongs to an area when it lies on or inside all four of its sides.
  ui::TRect LeftRect() const { return FLeftRect; }
  ui::TRect RightRect() const { return FRightRect; }
  ui::TRect EdgeRect() const { return FEdgeRect; }
  ui::TRect MoveRect() const { return FMoveRect; }
  ui::TRect LeftGrip() const { return FLeftGrip; }
  ui::TRect RightGrip() const { return FRightGrip; }
  ui::TRect CornerRect() const { return FCornerRect; }
  static bool HitTest(const ui::TRect& area, ui::TPoint p);

  // Recomputes the areas from the size, the type and the pictures.
  void UpdateLayout();
  // The grips take the corner picture's size plus the right picture's
  // width and the edge picture's height, when those pictures exist.
  void UpdateSizeRect();

  // The first form among the bar's ancestors, looked up once and kept.
  ui::TForm* FindOwnerForm();
  // Read fresh from the form's placement; normal without a form window.
  TFormState GetFormState();
  // Hands the form the message synchronously; 0 without a form window.
  LRESULT SendFormCommand(UINT message, WPARAM wParam, LPARAM lParam);

  // The default double-click and mouse-down reactions.
  void ToggleMaximized();
  void StartMoveOrSize(ui::TMouseButton button, int x, int y);

  void Paint(ui::TCanvas& canvas) override;
  // The grips follow the scale too (Scaling.cpp).
  void ChangeScale(int from, int dpi) override;

 protected:
  void Loaded() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;

 private:
  // A window button and the release handler it had before the bar's.
  struct Hook {
    ui::TControl* control = nullptr;
    std::optional<ui::TComponentGuard> alive;
    ui::TMouseEvent saved;
  };
  void HookButton(Hook& hook, ui::TControl* button, ui::TNotifyEvent action);
  static void Unhook(Hook& hook);
  void SetPicture(ui::TPicture& field, const ui::TPicture& picture, bool sizesGrips);
  void LayoutChanged();
  void SetSideWidth(int width);
  void PaintContent(HDC dc);
  ui::TCursor CursorAt(ui::TPoint p) const;
  WPARAM SizeCommandAt(ui::TPoint p) const;

  TBorderType FBorderType = btHeader;
  ui::TAlignment FAlignment = ui::taCenter;
  ui::TPicture FLeftPic;
  ui::TPicture FRightPic;
  ui::TPicture FBorderPic;
  ui::TPicture FClientPic;
  ui::TPicture FRightBottomPic;
  bool FCanMove = true;
  bool FCanDragResize = false;
  ui::TCursor FSavedCursor = ui::crDefault;
  ui::TRect FLeftRect;
  ui::TRect FRightRect;
  ui::TRect FEdgeRect;
  ui::TRect FMoveRect;
  ui::TRect FLeftGrip;
  ui::TRect FRightGrip;
  ui::TRect FCornerRect;
  int FSizeRectWidth = 12;
  int FSizeRectHeight = 12;
  ui::TForm* FOwnerForm = nullptr;
  Hook FMaxButton;
  Hook FRestoreButton;
  Hook FMinButton;
  ui::TScaledFields FScaledFields;
};

}  // namespace skin
