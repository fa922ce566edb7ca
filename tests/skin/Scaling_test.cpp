// The skinned controls on a screen of another resolution: their own pixel
// values scale with their bounds, and what they derive from their pictures
// (the form border's areas, the progress bar's filled part) follows the
// pictures drawn for that resolution. The main window's controls, read from
// a layout like the window's, at 144 dpi (150 %).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"
#include "CommandRecordingForm.h"
#include "skin/FormBorder.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/LayoutReader.h"
#include "ui/Scale.h"

namespace {

using Runs = std::vector<std::pair<std::uint32_t, int>>;

// Pictures of one colour each, as large as the name's size scaled: the
// name is "<colour>_<width>x<height>" with the colour as 0xRRGGBB.
ui::TPicture NamedSolid(const std::wstring& name, int dpi) {
  const std::uint32_t rgb = std::stoul(name.substr(0, name.find(L'_')), nullptr, 16);
  const auto x = name.find(L'x', name.find(L'_'));
  const int width = std::stoi(name.substr(name.find(L'_') + 1));
  const int height = std::stoi(name.substr(x + 1));
  return uitest::SolidPicture(ui::ScaleValue(width, dpi), ui::ScaleValue(height, dpi), rgb >> 16,
                              (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The skin's controls in a form that records its system commands.
class SkinForm : public CommandRecordingForm {
 public:
  SkinForm() : CommandRecordingForm(L"TSkinScalingTestForm") {
    skin::RegisterSkinLayoutClasses();
    ui::RegisterLayoutClass(L"TSkinScalingTestForm", L"TForm", nullptr);
    SetPictureSource(&NamedSolid);
    ui::ReadLayout(*this, R"(
      TSkinScalingTestForm frmSkin {
        ClientWidth = 463  ClientHeight = 303
        TFormBorder frmbrdrHeader {
          Left = 0  Top = 0  Width = 463  Height = 40
          Ex_LeftPic = picture "FF0000_6x40"
          Ex_RightPic = picture "00FF00_6x40"
          Ex_ClientPic = picture "202020_1x40"
          CanDragResize = true  SizeRectWidth = 5  SizeRectHeight = 5
        }
        TImageButton btnSelectPath {
          Left = 18  Top = 96  Width = 395  Height = 20
          Caption = "link"  ButtonCaptionALignment = taLeftJustify  TextOffset = 7
          CheckBoxOffset = 10  SubCaptionFont = { Height = -11 }
        }
        TImageProgress imgProgress {
          Left = 130  Top = 268  Width = 187  Height = 17
          Color = 0x00120C0B  Min = 0  Max = 100  Position = 55
          Items = (
            { Name = "bg_middle"  Picture = picture "404040_4x16"
              Left = 3  Top = 0  Width = 1000  Height = 16  Stretch = true }
            { Name = "bg_left"  Picture = picture "0000FF_3x16"
              Left = 0  Top = 0  Width = 3  Height = 16  Align = alLeft }
            { Name = "bg_right"  Picture = picture "000080_4x16"
              Left = 471  Top = 0  Width = 4  Height = 16  Align = alRight }
            { Name = "bar_middle"  Picture = picture "00FF00_4x16"
              Left = 3  Top = 0  Width = 84  Height = 16  Stretch = true }
            { Name = "bar_left"  Picture = picture "FF0000_3x16"
              Left = 0  Top = 0  Width = 3  Height = 16  Align = alLeft }
            { Name = "bar_right"  Picture = picture "FFFF00_16x16"
              Left = 87  Top = 0  Width = 16  Height = 16 }
          )
        }
      })",
                   {});
  }
};

template <typename T>
T& Find(ui::TForm& form, const wchar_t* name) {
  return dynamic_cast<T&>(*form.FindComponent(name));
}

TEST(SkinScaling, TheFormBordersAreasFollowItsPicturesAndItsGripsScale) {
  SkinForm form;
  ASSERT_TRUE(form.CreateHandle());
  form.SetDpi(144);
  auto& bar = Find<skin::TFormBorder>(form, L"frmbrdrHeader");
  EXPECT_EQ(bar.BoundsRect(), ui::Bounds(0, 0, 695, 60));
  EXPECT_EQ(bar.SizeRectWidth(), 8);
  EXPECT_EQ(bar.LeftGrip(), (ui::TRect{0, 0, 8, 8}));
  EXPECT_EQ(bar.RightGrip(), (ui::TRect{687, 0, 695, 8}));
  EXPECT_EQ(bar.LeftRect(), (ui::TRect{0, 8, 9, 60}));
  EXPECT_EQ(bar.RightRect(), (ui::TRect{686, 8, 695, 60}));
  EXPECT_EQ(bar.MoveRect(), (ui::TRect{9, 0, 686, 60}));
  // (7, 7) lies in the scaled corner grip (at 100 % it is the move area),
  // (4, 12) and (690, 30) in the scaled side areas.
  for (auto [x, y, command] :
       {std::tuple{7, 7, skin::kSizeTopLeft}, std::tuple{4, 12, skin::kSizeLeft},
        std::tuple{690, 30, skin::kSizeRight}}) {
    form.commands.clear();
    SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(form.commands, std::vector<WPARAM>{command}) << x << ", " << y;
  }
}

TEST(SkinScaling, TheImageButtonsOffsetsAndFontsScaleAndComeBackExactly) {
  SkinForm form;
  auto& link = Find<skin::TImageButton>(form, L"btnSelectPath");
  form.SetDpi(144);
  EXPECT_EQ(link.BoundsRect(), ui::Bounds(27, 144, 593, 30));
  EXPECT_EQ(link.TextOffset(), 11);
  EXPECT_EQ(link.CheckBoxOffset(), 15);
  EXPECT_EQ(link.IconOffset(), 15);
  EXPECT_EQ(link.SubCaptionFont().Height, -17);
  form.SetDpi(120);
  EXPECT_EQ(link.TextOffset(), 9);
  form.SetDpi(96);
  EXPECT_EQ(link.BoundsRect(), ui::Bounds(18, 96, 395, 20));
  EXPECT_EQ(link.TextOffset(), 7);
  EXPECT_EQ(link.SubCaptionFont().Height, -11);
}

TEST(SkinScaling, TheFocusRingIsAsThickAndAsFarOutAsTheScaleMakesIt) {
  SkinForm form;
  auto& button = ui::Create<skin::TImageButton>(form);
  button.SetParent(&form);
  button.SetBounds(100, 100, 192, 48);
  button.SetImageNormal(uitest::SolidPicture(192, 48, 0x20, 0x60, 0xA0));
  form.SetDpi(144);
  ASSERT_EQ(button.Width(), 288);
  // Two pixels of ring one pixel out at 100 %: three, two out, at 150 %.
  const ui::TRect area = button.FocusCueArea();
  EXPECT_LE(area.Top, -5);
  uitest::TestSurface surface(button.Width() + 20, button.Height() + 20);
  SetViewportOrgEx(surface.dc(), 10, 10, nullptr);
  {
    ui::TCanvas canvas(surface.dc());
    button.PaintFocusCue(canvas);
  }
  std::vector<std::uint32_t> column;
  for (int y = 0; y < 12; ++y) column.push_back(surface.Pixel(10 + button.Width() / 2, y));
  constexpr std::uint32_t ring = 0xB3E7FF, none = 0x000000;
  EXPECT_EQ(column, (std::vector<std::uint32_t>{none, none, none, none, none, ring, ring, ring,
                                                none, none, none, none}));
}

TEST(SkinScaling, TheProgressBarIsLaidOutAgainForItsNewPictures) {
  SkinForm form;
  auto& bar = Find<skin::TImageProgress>(form, L"imgProgress");
  ASSERT_TRUE(form.CreateHandle());
  bar.SetVisible(true);
  form.SetDpi(144);
  EXPECT_EQ(bar.BoundsRect(), ui::Bounds(195, 402, 281, 26));
  // 55 % of 281 is 154.55, rounded up to 155: caps of 5 and 24 pixels, the
  // middle between them.
  auto& items = bar.Items();
  EXPECT_EQ(items.Items(4).Width(), 5);
  EXPECT_EQ(items.Items(3).Left(), 5);
  EXPECT_EQ(items.Items(3).Width(), 126);
  EXPECT_EQ(items.Items(5).Left(), 131);
  EXPECT_EQ(items.Items(5).Width(), 24);
  EXPECT_EQ(bar.AnimateLimit(), 155);

  uitest::TestSurface surface(bar.Width(), bar.Height());
  bar.PaintTo(surface.dc(), 0, 0);
  Runs row;
  for (int x = 0; x < bar.Width(); ++x) {
    const std::uint32_t c = surface.Pixel(x, 12);
    if (!row.empty() && row.back().first == c) {
      ++row.back().second;
    } else {
      row.push_back({c, 1});
    }
  }
  EXPECT_EQ(row,
            (Runs{{0xFF0000, 5}, {0x00FF00, 126}, {0xFFFF00, 24}, {0x404040, 120}, {0x000080, 6}}));
  // Below the 24 rows of pictures, the bar's own colour.
  EXPECT_EQ(surface.Pixel(100, 25), 0x0B0C12u);
}

}  // namespace
