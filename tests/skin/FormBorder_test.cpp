// The form border: its areas, cursors, the system commands it sends its
// form, its window buttons, and what it paints.
#include "skin/FormBorder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"
#include "CommandRecordingForm.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/LayoutReader.h"

namespace {

using skin::TFormBorder;
using ui::TRect;
using uitest::SolidPicture;
using uitest::TestSurface;

class RecordingForm : public CommandRecordingForm {
 public:
  RecordingForm() : CommandRecordingForm(L"TFormBorderTestForm") { SetClientSize(200, 100); }
};

// A bar of the given type on a 200 x 100 form, with a 6 x 40 left picture,
// an 8 x 40 right picture and an edge picture 3 pixels high.
struct Bar {
  explicit Bar(skin::TBorderType type, bool dragResize, bool withPictures = true)
      : bar(ui::Create<TFormBorder>(form)) {
    bar.SetHeight(40);
    bar.SetParent(&form);
    bar.SetEx_BorderType(type);
    if (withPictures) {
      bar.SetEx_LeftPic(SolidPicture(6, 40, 255, 0, 0));
      bar.SetEx_RightPic(SolidPicture(8, 40, 0, 255, 0));
      bar.SetEx_BorderPic(SolidPicture(1, 3, 0, 0, 255));
    }
    bar.SetCanDragResize(dragResize);
  }
  // A press on the bar at a point of its own, through the form's window.
  void Press(int x, int y) {
    const LPARAM at = MAKELPARAM(bar.Left() + x, bar.Top() + y);
    SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form.Handle(), WM_LBUTTONUP, 0, at);
  }
  void Hover(int x, int y) {
    SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(bar.Left() + x, bar.Top() + y));
  }
  void Maximize() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(form.Handle(), &placement);
    placement.showCmd = SW_SHOWMAXIMIZED;
    SetWindowPlacement(form.Handle(), &placement);
  }

  RecordingForm form;
  TFormBorder& bar;
};

TEST(FormBorder, AreasFollowTheTypeThePicturesAndTheGrips) {
  struct Case {
    skin::TBorderType type;
    bool drag;
    TRect leftGrip, rightGrip, left, right, edge, move;
  };
  const Case cases[] = {
      {skin::btHeader,
       true,
       {0, 0, 12, 12},
       {188, 0, 200, 12},
       {0, 12, 6, 40},
       {192, 12, 200, 40},
       {6, 0, 192, 3},
       {6, 3, 192, 40}},
      {skin::btHeader,
       false,
       {0, 0, 0, 0},
       {200, 0, 200, 0},
       {0, 0, 6, 40},
       {192, 0, 200, 40},
       {6, 0, 192, 3},
       {6, 3, 192, 40}},
      {skin::btFooter,
       true,
       {0, 28, 12, 40},
       {188, 28, 200, 40},
       {0, 0, 6, 28},
       {192, 0, 200, 28},
       {6, 37, 192, 40},
       {6, 0, 192, 37}},
      {skin::btFooter,
       false,
       {0, 40, 0, 40},
       {200, 40, 200, 40},
       {0, 0, 6, 40},
       {192, 0, 200, 40},
       {6, 37, 192, 40},
       {6, 0, 192, 37}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " drag " << c.drag);
    Bar b(c.type, c.drag);
    EXPECT_EQ(b.bar.Width(), 200);
    EXPECT_EQ(b.bar.Top(), c.type == skin::btHeader ? 0 : 60);
    EXPECT_EQ(b.bar.LeftGrip(), c.leftGrip);
    EXPECT_EQ(b.bar.RightGrip(), c.rightGrip);
    EXPECT_EQ(b.bar.LeftRect(), c.left);
    EXPECT_EQ(b.bar.RightRect(), c.right);
    EXPECT_EQ(b.bar.EdgeRect(), c.edge);
    EXPECT_EQ(b.bar.MoveRect(), c.move);
  }
}

TEST(FormBorder, SideBarsTakeTheirPicturesWidthOrFivePixelsAndNeverBothMoveAndResize) {
  struct Case {
    skin::TBorderType type;
    bool withPictures;
    int width;
    int left;  // where the bar lies on the form
  };
  const Case cases[] = {{skin::btLefter, true, 6, 0},
                        {skin::btLefter, false, 5, 0},
                        {skin::btRighter, true, 8, 192},
                        {skin::btRighter, false, 5, 195}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " pictures " << c.withPictures);
    Bar b(c.type, true, c.withPictures);
    EXPECT_EQ(b.bar.Width(), c.width);
    EXPECT_EQ(b.bar.Left(), c.left);
    EXPECT_EQ(b.bar.Height(), 100);
    const TRect whole{0, 0, c.width, 100};
    EXPECT_EQ(b.bar.MoveRect(), whole);
    EXPECT_EQ(c.type == skin::btLefter ? b.bar.LeftRect() : b.bar.RightRect(), whole);
    EXPECT_TRUE(b.bar.CanDragResize());
    EXPECT_FALSE(b.bar.CanMove());
    b.bar.SetCanMove(true);
    EXPECT_FALSE(b.bar.CanDragResize());
  }
}

TEST(FormBorder, CornerPictureSizesTheGripsFromTheRightAndEdgePictures) {
  Bar b(skin::btFooter, true);
  b.bar.SetEx_RightBottomPic(SolidPicture(4, 5, 9, 9, 9));
  EXPECT_EQ(b.bar.SizeRectWidth(), 4 + 8);
  EXPECT_EQ(b.bar.SizeRectHeight(), 5 + 3);
  EXPECT_EQ(b.bar.RightGrip(), (TRect{188, 32, 200, 40}));
  EXPECT_EQ(b.bar.CornerRect().Left, 188);
  EXPECT_EQ(b.bar.CornerRect().Top, 32);
}

TEST(FormBorder, AreasHoldThePointsOnAllFourSides) {
  const TRect area{2, 3, 5, 7};
  struct Case {
    int x, y;
    bool inside;
  };
  const Case cases[] = {{2, 3, true},  {5, 7, true},  {5, 3, true},  {2, 7, true},
                        {1, 3, false}, {6, 7, false}, {3, 2, false}, {3, 8, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(TFormBorder::HitTest(area, {c.x, c.y}), c.inside) << c.x << "," << c.y;
  }
}

TEST(FormBorder, PressesSendTheFormTheSystemCommandOfTheirArea) {
  struct Case {
    skin::TBorderType type;
    bool drag;
    int x, y;
    WPARAM command;  // 0: nothing is sent
  };
  const Case cases[] = {
      // Grips first, right and bottom sides included.
      {skin::btHeader, true, 0, 0, skin::kSizeTopLeft},
      {skin::btHeader, true, 12, 12, skin::kSizeTopLeft},
      {skin::btHeader, true, 199, 5, skin::kSizeTopRight},
      {skin::btHeader, true, 3, 30, skin::kSizeLeft},
      {skin::btHeader, true, 6, 30, skin::kSizeLeft},
      {skin::btHeader, true, 195, 30, skin::kSizeRight},
      {skin::btHeader, true, 100, 1, skin::kSizeTop},
      {skin::btHeader, true, 100, 3, skin::kSizeTop},
      {skin::btHeader, true, 100, 20, skin::kMoveByCaption},
      // Without resizing only the middle moves the form.
      {skin::btHeader, false, 0, 0, 0},
      {skin::btHeader, false, 100, 1, 0},
      {skin::btHeader, false, 100, 20, skin::kMoveByCaption},
      {skin::btFooter, true, 2, 39, skin::kSizeBottomLeft},
      {skin::btFooter, true, 199, 39, skin::kSizeBottomRight},
      {skin::btFooter, true, 3, 10, skin::kSizeLeft},
      {skin::btFooter, true, 196, 10, skin::kSizeRight},
      {skin::btFooter, true, 100, 38, skin::kSizeBottom},
      {skin::btFooter, true, 100, 10, skin::kMoveByCaption},
      {skin::btLefter, true, 3, 50, skin::kSizeLeft},
      {skin::btRighter, true, 3, 50, skin::kSizeRight},
      {skin::btLefter, false, 3, 50, skin::kMoveByCaption},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "type " << int(c.type) << " drag " << c.drag << " at " << c.x << "," << c.y);
    Bar b(c.type, c.drag);
    if (c.type == skin::btLefter && !c.drag) b.bar.SetCanMove(true);
    ASSERT_TRUE(b.form.CreateHandle());
    b.Press(c.x, c.y);
    EXPECT_EQ(b.form.commands, c.command ? std::vector<WPARAM>{c.command} : std::vector<WPARAM>{});
    // The system's loop needs the mouse: the bar gave it up.
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST(FormBorder, EmptyEdgePictureLeavesTheTopRowForResizingFromTheTop) {
  Bar b(skin::btHeader, true, false);
  EXPECT_EQ(b.bar.EdgeRect(), (TRect{0, 0, 200, 0}));
  ASSERT_TRUE(b.form.CreateHandle());
  b.Press(100, 0);
  b.Press(100, 1);
  EXPECT_EQ(b.form.commands, (std::vector<WPARAM>{skin::kSizeTop, skin::kMoveByCaption}));
}

TEST(FormBorder, CursorShowsTheResizeDirectionAndComesBackOnLeaving) {
  struct Case {
    skin::TBorderType type;
    int x, y;
    ui::TCursor cursor;
  };
  const Case cases[] = {
      {skin::btHeader, 2, 2, ui::crSizeNWSE},  {skin::btHeader, 197, 2, ui::crSizeNESW},
      {skin::btHeader, 2, 30, ui::crSizeWE},   {skin::btHeader, 197, 30, ui::crSizeWE},
      {skin::btHeader, 100, 2, ui::crSizeNS},  {skin::btHeader, 100, 20, ui::crDefault},
      {skin::btFooter, 2, 38, ui::crSizeNESW}, {skin::btFooter, 197, 38, ui::crSizeNWSE},
      {skin::btFooter, 100, 38, ui::crSizeNS}, {skin::btLefter, 3, 50, ui::crSizeWE},
      {skin::btRighter, 3, 50, ui::crSizeWE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " at " << c.x << "," << c.y);
    Bar b(c.type, true);
    b.bar.SetCursor(ui::crHandPoint);
    ASSERT_TRUE(b.form.CreateHandle());
    b.Hover(c.x, c.y);
    EXPECT_EQ(b.bar.Cursor(), c.cursor);
    SendMessageW(b.form.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(b.bar.Cursor(), ui::crHandPoint);
  }
}

TEST(FormBorder, MaximizedFormOrNoResizingLeavesCursorAndFormAlone) {
  for (bool maximized : {false, true}) {
    SCOPED_TRACE(maximized ? "maximized" : "no resizing");
    Bar b(skin::btHeader, maximized);
    ASSERT_TRUE(b.form.CreateHandle());
    if (maximized) b.Maximize();
    b.Hover(2, 2);
    EXPECT_EQ(b.bar.Cursor(), ui::crDefault);
    b.Press(100, 20);
    b.Press(2, 2);
    EXPECT_EQ(b.form.commands.size(), maximized ? 0u : 1u);
  }
}

TEST(FormBorder, DoubleClickAndWindowButtonsToggleTheFormsState) {
  Bar b(skin::btHeader, true);
  auto& maxButton = ui::Create<ui::TGraphicControl>(b.form);
  auto& restoreButton = ui::Create<ui::TGraphicControl>(b.form);
  auto& minButton = ui::Create<ui::TGraphicControl>(b.form);
  ui::TGraphicControl* buttons[] = {&maxButton, &restoreButton, &minButton};
  int left = 120;
  for (ui::TGraphicControl* button : buttons) {
    button->SetBounds(left, 60, 20, 20);
    button->SetParent(&b.form);
    left += 25;
  }
  int ownReleases = 0;
  minButton.OnMouseUp = [&](ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
    ++ownReleases;
  };
  std::vector<std::wstring> events;
  b.bar.OnFormMaximize = [&](ui::TComponent&) { events.push_back(L"maximize"); };
  b.bar.OnFormNormal = [&](ui::TComponent&) { events.push_back(L"normal"); };
  b.bar.OnFormMinimize = [&](ui::TComponent&) { events.push_back(L"minimize"); };
  ASSERT_TRUE(b.form.CreateHandle());
  const LPARAM onBar = MAKELPARAM(100, 20);

  // Without a maximize button a double-click does nothing.
  SendMessageW(b.form.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, onBar);
  EXPECT_EQ(b.form.commands, (std::vector<WPARAM>{skin::kMoveByCaption}));
  b.form.commands.clear();

  b.bar.SetMaxFormButton(&maxButton);
  b.bar.SetRestoreFormButton(&restoreButton);
  b.bar.SetMinFormButtom(&minButton);
  b.bar.ToggleMaximized();
  EXPECT_EQ(b.form.commands, (std::vector<WPARAM>{0xF032}));
  EXPECT_FALSE(maxButton.Visible());
  EXPECT_TRUE(restoreButton.Visible());
  EXPECT_EQ(b.form.Align(), ui::alClient);

  // The recording form did not maximize itself; now the system does.
  b.Maximize();
  b.form.commands.clear();
  SendMessageW(b.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 70));
  SendMessageW(b.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 70));
  EXPECT_EQ(b.form.commands, (std::vector<WPARAM>{0xF122}));
  EXPECT_TRUE(maxButton.Visible());
  EXPECT_FALSE(restoreButton.Visible());
  EXPECT_EQ(b.form.Align(), ui::alNone);

  b.form.commands.clear();
  SendMessageW(b.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(175, 70));
  SendMessageW(b.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(175, 70));
  EXPECT_EQ(b.form.commands, (std::vector<WPARAM>{0xF022}));
  EXPECT_EQ(ownReleases, 1);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"maximize", L"normal", L"minimize"}));

  // A replaced button, and every button once the bar is gone, is itself again.
  b.bar.SetMinFormButtom(nullptr);
  b.form.commands.clear();
  SendMessageW(b.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(175, 70));
  SendMessageW(b.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(175, 70));
  EXPECT_TRUE(b.form.commands.empty());
  EXPECT_EQ(ownReleases, 2);
  b.form.RemoveComponent(b.bar);
  EXPECT_FALSE(maxButton.OnMouseUp);
}

TEST(FormBorder, WithoutAFormCommandsDoNothingAndTheStateReadsNormal) {
  TFormBorder bar;
  bar.SetBounds(0, 0, 100, 40);
  EXPECT_EQ(bar.FindOwnerForm(), nullptr);
  EXPECT_EQ(bar.GetFormState(), skin::TFormState::fsNormal);
  EXPECT_EQ(bar.SendFormCommand(WM_SYSCOMMAND, skin::kMoveByCaption, 0), 0);
  bar.StartMoveOrSize(ui::mbLeft, 50, 20);
  bar.ToggleMaximized();
}

// What a bar paints, read back from an off-screen surface.
struct Painted {
  explicit Painted(int width = 200, int height = 40) : surface(width, height) {
    form.SetClientSize(width, height);
    bar.SetHeight(height);
    bar.SetParent(&form);
    bar.SetColor(0x00000000);
    ui::TFont font;
    font.Color = 0x00FFFFFF;
    font.Height = -13;
    bar.SetFont(font);
  }
  void Paint() { form.PaintTo(surface.dc(), 0, 0); }
  // The columns and rows that hold the caption's (non-black) pixels.
  TRect Ink() {
    TRect r{bar.Width(), bar.Height(), -1, -1};
    for (int y = 0; y < bar.Height(); ++y) {
      for (int x = 0; x < bar.Width(); ++x) {
        if (surface.Pixel(x, y) == 0) continue;
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x), std::max(r.Bottom, y)};
      }
    }
    return r;
  }

  ui::TForm form{L"TFormBorderPaintTestForm"};
  TFormBorder& bar = ui::Create<TFormBorder>(form);
  TestSurface surface;
};

TEST(FormBorder, PicturesLieWhereTheirAreasAre) {
  Painted p;
  p.bar.SetEx_LeftPic(SolidPicture(6, 40, 255, 0, 0));
  p.bar.SetEx_RightPic(SolidPicture(8, 40, 0, 255, 0));
  p.bar.SetEx_BorderPic(SolidPicture(1, 3, 0, 0, 255));
  p.bar.SetEx_ClientPic(SolidPicture(1, 1, 255, 255, 0));
  p.Paint();
  EXPECT_EQ(p.surface.Pixel(5, 39), 0xFF0000u);
  EXPECT_EQ(p.surface.Pixel(192, 0), 0x00FF00u);
  EXPECT_EQ(p.surface.Pixel(100, 2), 0x0000FFu);
  EXPECT_EQ(p.surface.Pixel(100, 3), 0xFFFF00u);
  EXPECT_EQ(p.surface.Pixel(191, 39), 0xFFFF00u);
}

TEST(FormBorder, CaptionKeepsItsInsetsAndIsCentredOtherwise) {
  const std::wstring caption = L"Brightkeep";
  Painted p;
  // Where the text's cell starts, from its measured width on the 200-pixel
  // bar: 16 from the left, ending 70 before the right, or in the middle.
  ui::UniqueScreenDc screen(GetDC(nullptr));
  ui::TCanvas measure(screen.get());
  measure.SetFont(p.bar.Font());
  const int width = measure.TextWidth(caption);
  const struct {
    ui::TAlignment alignment;
    int cellLeft;
  } cases[] = {
      {ui::taLeftJustify, 16},
      {ui::taRightJustify, 130 - width},
      {ui::taCenter, (200 - width) / 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.alignment));
    p.bar.SetCaption(caption);
    p.bar.SetAlignment(c.alignment);
    p.Paint();
    const TRect ink = p.Ink();
    // The first letter's ink starts at most two pixels into its cell.
    EXPECT_GE(ink.Left, c.cellLeft);
    EXPECT_LE(ink.Left, c.cellLeft + 2);
    EXPECT_LT(ink.Right, c.cellLeft + width);
    // Vertically centred on the bar.
    EXPECT_LE(std::abs(ink.Top + ink.Bottom - 39), 4) << ink.Top << ".." << ink.Bottom;
  }
}

TEST(FormBorder, CaptionThatDoesNotFitEndsWithAnEllipsis) {
  Painted p(120, 40);
  p.bar.SetAlignment(ui::taLeftJustify);
  p.bar.SetCaption(L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
  p.Paint();
  const TRect ink = p.Ink();
  EXPECT_LT(ink.Right, 120);
  // The last few columns hold the dots on the base line, not letters.
  const int middle = (ink.Top + ink.Bottom) / 2;
  for (int x = ink.Right - 8; x <= ink.Right; ++x) {
    for (int y = ink.Top; y < middle; ++y) {
      EXPECT_EQ(p.surface.Pixel(x, y), 0u) << x << "," << y;
    }
  }
}

TEST(FormBorder, BufferedPaintLeavesEveryPixelOpaque) {
  Painted p;
  p.bar.SetCaption(L"Opaque text");
  p.bar.SetEx_ClientPic(SolidPicture(1, 1, 10, 20, 30, 128));
  p.Paint();
  int clear = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) clear += p.surface.Alpha(x, y) != 255;
  }
  EXPECT_EQ(clear, 0);
  // Half of (10, 20, 30) over the black fill.
  EXPECT_TRUE(uitest::NearColor(p.surface.Pixel(2, 2), 0x050A0F, 2))
      << std::hex << p.surface.Pixel(2, 2);
}

TEST(FormBorder, LayoutSetsThePropertiesByNameAndTheFormGetsItsWindowStyles) {
  skin::RegisterSkinLayoutClasses();
  ui::TForm form(L"TFormBorderLayoutTestForm");
  ui::THandlerTable handlers;
  int maximized = 0;
  handlers.Add(L"Maximized", ui::TNotifyEvent([&](ui::TComponent&) { ++maximized; }));
  ui::ReadLayout(form,
                 "TFormBorderLayoutTestForm f {\n"
                 "  ClientWidth = 300  ClientHeight = 100\n"
                 "  TFormBorder frmbrdrFooter {\n"
                 "    Height = 30  Caption = \"Title\"  Ex_BorderType = btFooter\n"
                 "    Alignment = taRightJustify  CanMove = false  CanDragResize = true\n"
                 "    SizeRectWidth = 5  SizeRectHeight = 6  OnFormMaximize = Maximized\n"
                 "    MaxFormButton = btnMax  MinFormButtom = nil\n"
                 "  }\n"
                 "  TImage btnMax { Left = 250  Width = 20  Height = 20 }\n"
                 "}\n",
                 handlers);
  auto* bar = dynamic_cast<TFormBorder*>(form.FindComponent(L"frmbrdrFooter"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Ex_BorderType(), skin::btFooter);
  EXPECT_EQ(bar->Align(), ui::alBottom);
  EXPECT_EQ(bar->Alignment(), ui::taRightJustify);
  EXPECT_EQ(bar->Caption(), L"Title");
  EXPECT_FALSE(bar->CanMove());
  EXPECT_TRUE(bar->CanDragResize());
  EXPECT_EQ(bar->LeftGrip(), (TRect{0, 24, 5, 30}));
  // A button written after the bar is found all the same.
  EXPECT_EQ(bar->MaxFormButton(), form.FindComponent(L"btnMax"));
  EXPECT_EQ(bar->MinFormButtom(), nullptr);
  ASSERT_TRUE(bar->OnFormMaximize);
  bar->OnFormMaximize(*bar);
  EXPECT_EQ(maximized, 1);
  ASSERT_TRUE(form.CreateHandle());
  const LONG_PTR style = GetWindowLongPtrW(form.Handle(), GWL_STYLE);
  EXPECT_EQ(style & 0xB0000, 0xB0000);

  ui::TForm other(L"TFormBorderLayoutTestForm");
  try {
    ui::ReadLayout(other,
                   "TFormBorderLayoutTestForm f { TFormBorder b { MaxFormButton = nosuch } }",
                   handlers);
    ADD_FAILURE() << "no error";
  } catch (const ui::ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find("nosuch"), std::string::npos) << e.what();
  }
}

}  // namespace
