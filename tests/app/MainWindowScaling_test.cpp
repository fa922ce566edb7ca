// The main window on screens of other resolutions: which set of pictures
// it takes, that every set holds every picture at its scaled size, and the
// window itself moved to a screen at 150 %: every component, font, picture
// and the rounded outline as the layout scales them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuietServices.h"
#include "app/MainWindow.h"
#include "app/WindowArt.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "ui/Label.h"
#include "ui/PngImage.h"
#include "ui/Scale.h"
#include "ui/ScreenDpi.h"

namespace {

TEST(WindowArt, AScreenBetweenTwoSetsTakesTheLargerOne) {
  struct Case {
    int dpi, set;
  };
  const Case cases[] = {{96, 96},   {72, 96},   {97, 120},  {110, 120}, {120, 120}, {121, 144},
                        {144, 144}, {150, 168}, {168, 168}, {180, 192}, {192, 192}, {240, 192}};
  for (const Case& c : cases) EXPECT_EQ(app::ArtSetFor(c.dpi), c.set) << c.dpi << " dpi";
}

// The names of the pictures of one set, as the program holds them.
std::vector<std::wstring> ArtNames(int dpi) {
  std::vector<std::wstring> names;
  const std::wstring type = L"ART" + std::to_wstring(dpi);
  EnumResourceNamesW(
      GetModuleHandleW(nullptr), type.c_str(),
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
        if (!IS_INTRESOURCE(name))
          reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(name);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&names));
  return names;
}

TEST(WindowArt, EverySetHoldsEveryPictureAtItsScaledSize) {
  const std::vector<std::wstring> names = ArtNames(96);
  ASSERT_EQ(names.size(), 28u);
  for (int dpi : app::kArtSetDpis) {
    EXPECT_EQ(ArtNames(dpi), names) << dpi << " dpi";
    for (const std::wstring& name : names) {
      const ui::TPicture design = app::WindowArtPicture(name, 96);
      const ui::TPicture scaled = app::WindowArtPicture(name, dpi);
      EXPECT_EQ(scaled.Width(), ui::ScaleValue(design.Width(), dpi));
      EXPECT_EQ(scaled.Height(), ui::ScaleValue(design.Height(), dpi));
    }
  }
  EXPECT_THROW(app::WindowArtPicture(L"noSuchPicture", 144), ui::EInvalidGraphic);
}

TEST(WindowArt, AScreenBetweenTwoSetsGetsTheLargerSetsPictureMadeSmaller) {
  // 110 dpi: the 125 % Generate button (240 x 60) made 220 x 55, and its
  // border, opaque all along the top edge, is still opaque.
  const ui::TPicture picture = app::WindowArtPicture(L"imgBtnGen_Normal", 110);
  ASSERT_EQ(picture.Width(), 220);
  ASSERT_EQ(picture.Height(), 55);
  EXPECT_EQ(picture.Graphic()->Pixel(110, 0) >> 24, 255u);
  EXPECT_EQ(picture.Graphic()->Pixel(0, 0) >> 24, 0u) << "the rounded corner stays clear";
}

TEST(MainWindowScaling, MovedToAScreenAt150PercentTheWholeWindowIsTheLayoutScaled) {
  TfrmBRKPortable window(QuietServices());
  ASSERT_TRUE(window.CreateHandle());
  ASSERT_EQ(window.Dpi(), 96) << "the test session's screen";

  // The system asks the size the window wants at 144 dpi, then moves it.
  SIZE size{};
  SendMessageW(window.Handle(), ui::kWmGetDpiScaledSize, 144, reinterpret_cast<LPARAM>(&size));
  EXPECT_EQ(size.cx, 695);
  EXPECT_EQ(size.cy, 455);
  RECT suggested{20, 10, 20 + size.cx, 10 + size.cy};
  SendMessageW(window.Handle(), ui::kWmDpiChanged, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  RECT client{};
  GetClientRect(window.Handle(), &client);
  EXPECT_EQ(client.right, 695);
  EXPECT_EQ(client.bottom, 455);

  // Every component where the layout's place scales to, corner and size
  // each scaled on its own; the border line on the left runs from the
  // header down, the icon is as large as its 150 % picture.
  struct Expected {
    const wchar_t* name;
    int left, top, width, height;
  };
  const Expected expected[] = {
      {L"imgBg", 0, 0, 693, 453},           {L"btnBg", 170, 125, 333, 269},
      {L"imgBtnGen", 189, 321, 288, 72},    {L"lbl_info", 27, 83, 593, 63},
      {L"btnSelectPath", 27, 144, 593, 30}, {L"frmbrdrHeader", 0, 0, 695, 60},
      {L"imgBtnClose", 635, 3, 53, 42},     {L"lbl_Caption", 65, 17, 438, 29},
      {L"imgBorderLeft", 0, 60, 2, 395},    {L"imgBorderRight", 690, 60, 2, 393},
      {L"Image1", 15, 9, 48, 48},           {L"imgProgress", 195, 402, 281, 26},
      {L"ImageRect1", 0, 443, 693, 9},
  };
  for (const Expected& e : expected) {
    auto* control = dynamic_cast<ui::TControl*>(window.FindComponent(e.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->BoundsRect(), ui::Bounds(e.left, e.top, e.width, e.height))
        << std::string(e.name, e.name + wcslen(e.name));
  }

  auto find = [&](const wchar_t* name) { return window.FindComponent(name); };
  auto& gen = *dynamic_cast<skin::TImageButton*>(find(L"imgBtnGen"));
  EXPECT_EQ(gen.Font().Height, -27);
  EXPECT_EQ(gen.ImageNormal().Width(), 288);
  EXPECT_EQ(gen.ImageDown().Height(), 72);
  EXPECT_EQ(dynamic_cast<ui::TLabel*>(find(L"lbl_info"))->Font().Height, -18);
  EXPECT_EQ(dynamic_cast<ui::TLabel*>(find(L"lbl_Caption"))->Font().Height, -24);
  EXPECT_EQ(dynamic_cast<skin::TImageButton*>(find(L"btnSelectPath"))->Font().Height, -18);

  // The rounded outline ends with the drawn one: the right border line's
  // last column and the bottom strip's last row are inside, the client's
  // last column and row beyond them are not; the corner pixel is cut off.
  ui::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window.Handle(), region.get()), ERROR);
  EXPECT_TRUE(PtInRegion(region.get(), 691, 200));
  EXPECT_FALSE(PtInRegion(region.get(), 694, 200));
  EXPECT_TRUE(PtInRegion(region.get(), 300, 451));
  EXPECT_FALSE(PtInRegion(region.get(), 300, 454));
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.get(), 7, 7));

  // Back on a screen at 100 %: the layout exactly.
  RECT back{20, 10, 20 + 463, 10 + 303};
  SendMessageW(window.Handle(), ui::kWmDpiChanged, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(gen.BoundsRect(), ui::Bounds(126, 214, 192, 48));
  EXPECT_EQ(gen.Font().Height, -18);
  EXPECT_EQ(gen.ImageNormal().Width(), 192);
}

}  // namespace
