// Picture rectangles painted into an off-screen surface.
#include "skin/ImageRect.h"

#include <gtest/gtest.h>

#include "ImageItemFixture.h"

#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"

namespace {

using skintest::Place;
using uitest::SolidPicture;
using uitest::TestSurface;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

struct Strip {
  explicit Strip(int w = 462, int h = 20) : surface(w, h, RGB(1, 2, 3)) {
    rect.SetBounds(0, 0, w, h);
    rect.SetColor(0x000000FF);  // red
  }
  void Paint() { rect.PaintTo(surface.dc(), 0, 0); }
  // The rectangle of pixels of one colour, or an empty one.
  ui::TRect AreaOf(std::uint32_t color) {
    ui::TRect r{rect.Width(), rect.Height(), 0, 0};
    for (int y = 0; y < rect.Height(); ++y) {
      for (int x = 0; x < rect.Width(); ++x) {
        if (surface.Pixel(x, y) != color) continue;
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
             std::max(r.Bottom, y + 1)};
      }
    }
    return r;
  }
  skin::TImageRect rect;
  TestSurface surface;
};

TEST(ImageRect, EachAlignPlacesTheItemAgainstTheWholeControl) {
  struct Case {
    ui::TAlign align;
    ui::TRect expected;
  };
  // Item Left 100, Top 4, Width 6, Height 5 in a 462 x 20 control.
  const Case cases[] = {
      {ui::alNone, ui::Bounds(100, 4, 6, 5)},    {ui::alCustom, ui::Bounds(100, 4, 6, 5)},
      {ui::alTop, ui::Bounds(0, 0, 462, 5)},     {ui::alBottom, ui::Bounds(0, 15, 462, 5)},
      {ui::alLeft, ui::Bounds(0, 0, 6, 20)},     {ui::alRight, ui::Bounds(456, 0, 6, 20)},
      {ui::alClient, ui::Bounds(0, 0, 462, 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.align));
    Strip strip;
    skin::TImageItem& item = strip.rect.Items().Add();
    item.SetPicture(SolidPicture(1, 1, 0, 255, 0));
    item.SetStretch(true);
    Place(item, 100, 4, 6, 5);
    item.SetAlign(c.align);
    strip.Paint();
    EXPECT_EQ(strip.AreaOf(kGreen), c.expected);
    EXPECT_EQ(item.ItemRect(462, 20), c.expected);
  }
}

TEST(ImageRect, EmptyOneShowsOnlyItsColour) {
  Strip strip(30, 10);
  strip.Paint();
  EXPECT_EQ(strip.AreaOf(kRed), ui::Bounds(0, 0, 30, 10));
}

TEST(ImageRect, LaterItemsLieOnTopAndHiddenOrEmptyOnesDrawNothing) {
  Strip strip(40, 10);
  auto add = [&](const ui::TPicture& picture, ui::TAlign align, int width) -> skin::TImageItem& {
    skin::TImageItem& item = strip.rect.Items().Add();
    item.SetPicture(picture);
    item.SetStretch(true);
    item.SetWidth(width);
    item.SetAlign(align);
    return item;
  };
  add(SolidPicture(1, 1, 0, 255, 0), ui::alClient, 0);
  add(SolidPicture(1, 1, 0, 0, 255), ui::alRight, 10);
  add(SolidPicture(1, 1, 9, 9, 9), ui::alClient, 0).SetVisible(false);
  add(ui::TPicture{}, ui::alClient, 0);
  strip.Paint();
  EXPECT_EQ(strip.AreaOf(kGreen), ui::Bounds(0, 0, 30, 10));
  EXPECT_EQ(strip.AreaOf(kBlue), ui::Bounds(30, 0, 10, 10));
}

TEST(ImageRect, UnstretchedPictureKeepsItsSizeBeyondItsRectangle) {
  Strip strip(40, 10);
  skin::TImageItem& item = strip.rect.Items().Add();
  item.SetPicture(SolidPicture(16, 8, 0, 255, 0));
  Place(item, 30, 0, 2, 2);
  strip.Paint();
  // Clipped by the control only.
  EXPECT_EQ(strip.AreaOf(kGreen), ui::Bounds(30, 0, 10, 8));
}

TEST(ImageRect, BottomStripOfTheMainWindowLooksAsComposed) {
  Strip strip(462, 6);
  auto add = [&](const std::wstring& name, const ui::TPicture& picture, ui::TAlign align) {
    skin::TImageItem& item = strip.rect.Items().Add();
    item.SetName(name);
    item.SetPicture(picture);
    Place(item, 0, 0, picture.Width(), picture.Height());
    item.SetAlign(align);
    return &item;
  };
  add(L"Image_bg", SolidPicture(1, 6, 0, 255, 0), ui::alClient)->SetStretch(true);
  add(L"Image_Left", SolidPicture(6, 6, 0, 0, 255), ui::alLeft);
  add(L"Image_right", SolidPicture(6, 6, 0, 0, 255, 128), ui::alRight);
  strip.Paint();
  EXPECT_EQ(strip.AreaOf(kGreen), ui::Bounds(6, 0, 450, 6));
  EXPECT_EQ(strip.AreaOf(kBlue), ui::Bounds(0, 0, 6, 6));
  // Half blue over green.
  EXPECT_TRUE(uitest::NearColor(strip.surface.Pixel(459, 3), 0x007F80));
}

TEST(ImageRect, NewOneHasItsDefaults) {
  skin::TImageRect rect;
  EXPECT_EQ(rect.Width(), 105);
  EXPECT_EQ(rect.Height(), 105);
  EXPECT_EQ(rect.Color(), ui::clWindow);
  EXPECT_EQ(rect.Items().Count(), 0);
  EXPECT_TRUE(rect.HasStyle(ui::csAcceptsControls));
}

}  // namespace
