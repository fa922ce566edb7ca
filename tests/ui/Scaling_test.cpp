// Drawing a window for screens of any resolution: the one rounding rule,
// where a form learns its screen's resolution (and how it copes without
// the newer calls), how it scales its controls and takes its pictures for
// a new resolution, and the high-quality resampling of pictures for a
// resolution that has no set of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PngFixture.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/LayoutReader.h"
#include "ui/Resample.h"
#include "ui/Scale.h"
#include "ui/ScreenDpi.h"

namespace {

// --- the rounding rule -------------------------------------------------------

TEST(ScaleValue, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  struct Case {
    int value, dpi, expected;
  };
  const Case cases[] = {
      // The window's client size at 125, 150 and 200 %.
      {463, 120, 579},
      {303, 120, 379},
      {463, 144, 695},
      {303, 144, 455},
      {463, 192, 926},
      {303, 192, 606},
      // A one-pixel line: 1.25 is one pixel, 1.5 two.
      {1, 120, 1},
      {1, 144, 2},
      {1, 168, 2},
      {1, 192, 2},
      // Font heights are negative; they round as their size does.
      {-11, 144, -17},
      {-18, 120, -23},
      {-12, 168, -21},
      {0, 192, 0},
      {-1, 144, -2},
      // 96 dpi changes nothing.
      {463, 96, 463},
      {-11, 96, -11},
      {7, 96, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::ScaleValue(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi << " dpi";
  }
}

TEST(ScaledValue, EveryScaleComesFromTheLayoutsValueSoMovingBackAndForthGathersNoRounding) {
  // Each value, through a tour of screens and back to 96 dpi, and at every
  // stop exactly what the layout's value scales to there.
  for (int layout : {1, 3, 5, 6, 9, 40, 113, 222, 295, 463, -11, -18}) {
    ui::TScaledValue value;
    int current = layout;
    int from = 96;
    for (int dpi : {120, 144, 120, 168, 192, 110, 96}) {
      current = value.ScaleTo(current, from, dpi);
      from = dpi;
      EXPECT_EQ(current, ui::ScaleValue(layout, dpi)) << layout << " at " << dpi;
    }
    EXPECT_EQ(current, layout);
  }
}

TEST(ScaledValue, AValueTheProgramChangedCountsAsSetAtThatScale) {
  ui::TScaledValue value;
  EXPECT_EQ(value.ScaleTo(20, 96, 144), 30);
  // Set to 60 while drawn at 144 dpi: 40 at 96.
  EXPECT_EQ(value.ScaleTo(60, 144, 96), 40);
  EXPECT_EQ(value.ScaleTo(40, 96, 192), 80);
}

// --- the screen's resolution -------------------------------------------------

UINT WINAPI WindowSays144(HWND) {
  return 144;
}
UINT WINAPI WindowSaysNothing(HWND) {
  return 0;
}
HRESULT WINAPI MonitorSays120(HMONITOR, int kind, UINT* x, UINT* y) {
  if (kind != 0) return E_INVALIDARG;  // only the effective resolution is asked for
  *x = *y = 120;
  return S_OK;
}
HRESULT WINAPI MonitorFails(HMONITOR, int, UINT*, UINT*) {
  return E_FAIL;
}

TEST(WindowDpi, TakesTheNewestAnswerAndFallsBackToTheSystemsResolution) {
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(nullptr);
  const int system = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  struct Case {
    const char* system;
    ui::TDpiFunctions functions;
    int expected;
  };
  const Case cases[] = {
      {"Windows 10", {&WindowSays144, &MonitorSays120}, 144},
      {"Windows 10, no answer for the window", {&WindowSaysNothing, &MonitorSays120}, 120},
      {"Windows 8.1", {nullptr, &MonitorSays120}, 120},
      {"Windows 8.1, the monitor fails", {nullptr, &MonitorFails}, system},
      {"Windows 7", {nullptr, nullptr}, system},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::WindowDpi(desktop, c.functions), c.expected) << c.system;
}

TEST(WindowDpi, TheSystemsOwnCallsAreFoundAtRunTime) {
  // Wine and Windows 10 have GetDpiForWindow; the window's answer is the
  // system's resolution on a screen that has only that one.
  EXPECT_NE(ui::SystemDpiFunctions().getDpiForWindow, nullptr);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(ui::WindowDpi(GetDesktopWindow()), GetDeviceCaps(screen, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
}

// --- a form drawn for another resolution -------------------------------------

// A form read from a layout whose pictures come by name: `dot` is 10 x 10
// at 96 dpi and as large as the layout at any other; every request is
// remembered.
class ScalingForm : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::RegisterStandardLayoutClasses();
    ui::RegisterLayoutClass(L"TScalingTestForm", L"TForm", nullptr);
    form_.SetPictureSource([this](const std::wstring& name, int dpi) {
      requests_.push_back(name + L"@" + std::to_wstring(dpi));
      const int side = ui::ScaleValue(10, dpi);
      return uitest::SolidPicture(side, side, 0x20, 0x40, 0x60);
    });
    ui::ReadLayout(form_, R"(
      TScalingTestForm frmScaling {
        ClientWidth = 300  ClientHeight = 200
        Font = { Name = "Tahoma"  Height = -11 }
        TImage header { Left = 0  Top = 0  Width = 300  Height = 40  Align = alTop }
        TImage dot { Left = 10  Top = 50  Width = 10  Height = 10  AutoSize = true
                     Picture = picture "dot" }
        TLabel caption { Left = 113  Top = 83  Width = 101  Height = 17  AutoSize = false
                         Caption = "Text"  Font = { Height = -18 } }
        TLabel follower { Left = 3  Top = 150  Width = 50  Height = 15  AutoSize = false }
      })",
                   {});
    header_ = dynamic_cast<ui::TImage*>(form_.FindComponent(L"header"));
    dot_ = dynamic_cast<ui::TImage*>(form_.FindComponent(L"dot"));
    caption_ = dynamic_cast<ui::TLabel*>(form_.FindComponent(L"caption"));
    follower_ = dynamic_cast<ui::TLabel*>(form_.FindComponent(L"follower"));
  }

  ui::TForm form_{L"TScalingTestForm"};
  std::vector<std::wstring> requests_;
  ui::TImage* header_ = nullptr;
  ui::TImage* dot_ = nullptr;
  ui::TLabel* caption_ = nullptr;
  ui::TLabel* follower_ = nullptr;
};

TEST_F(ScalingForm, ScalesEveryBoundsAndFontAndTakesItsPicturesForTheNewResolution) {
  EXPECT_EQ(requests_, std::vector<std::wstring>{L"dot@96"});
  ASSERT_TRUE(form_.CreateHandle());
  const ui::TPoint corner{form_.Left(), form_.Top()};
  form_.SetDpi(144);
  EXPECT_EQ(form_.Dpi(), 144);
  EXPECT_EQ(requests_.back(), L"dot@144");
  EXPECT_EQ(form_.BoundsRect(), ui::Bounds(corner.X, corner.Y, 450, 300)) << "the corner stays";
  RECT client{};
  GetClientRect(form_.Handle(), &client);
  EXPECT_EQ(client.right, 450);
  EXPECT_EQ(client.bottom, 300);
  EXPECT_EQ(header_->BoundsRect(), ui::Bounds(0, 0, 450, 60)) << "aligned to the new width";
  EXPECT_EQ(dot_->BoundsRect(), ui::Bounds(15, 75, 15, 15)) << "as large as its new picture";
  // Corner and size scale each on their own: 113 * 1.5 and 101 * 1.5 round up.
  EXPECT_EQ(caption_->BoundsRect(), ui::Bounds(170, 125, 152, 26));
  EXPECT_EQ(caption_->Font().Height, -27);
  EXPECT_EQ(form_.Font().Height, -17);
  EXPECT_EQ(follower_->Font().Height, -17) << "a control that follows the form's font";

  // Back at 96 dpi, every value is the layout's again.
  form_.SetDpi(96);
  EXPECT_EQ(form_.BoundsRect(), ui::Bounds(corner.X, corner.Y, 300, 200));
  EXPECT_EQ(header_->BoundsRect(), ui::Bounds(0, 0, 300, 40));
  EXPECT_EQ(dot_->BoundsRect(), ui::Bounds(10, 50, 10, 10));
  EXPECT_EQ(caption_->BoundsRect(), ui::Bounds(113, 83, 101, 17));
  EXPECT_EQ(caption_->Font().Height, -18);
  EXPECT_EQ(dot_->Picture().Width(), 10);
}

TEST_F(ScalingForm, MovingToAScreenOfAnotherResolutionTakesTheSystemsSuggestedPlace) {
  int changes = 0;
  form_.OnDpiChanged = [&](ui::TComponent&) { ++changes; };
  ASSERT_TRUE(form_.CreateHandle());
  // Before the move the system asks the size the window wants there.
  SIZE size{300, 200};
  EXPECT_TRUE(
      SendMessageW(form_.Handle(), ui::kWmGetDpiScaledSize, 120, reinterpret_cast<LPARAM>(&size)));
  EXPECT_EQ(size.cx, 375);
  EXPECT_EQ(size.cy, 250);

  RECT suggested{40, 30, 40 + 375, 30 + 250};
  SendMessageW(form_.Handle(), ui::kWmDpiChanged, MAKEWPARAM(120, 120),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form_.Dpi(), 120);
  EXPECT_EQ(changes, 1);
  RECT window{};
  GetWindowRect(form_.Handle(), &window);
  EXPECT_EQ(window.left, 40);
  EXPECT_EQ(window.top, 30);
  EXPECT_EQ(window.right - window.left, 375);
  EXPECT_EQ(window.bottom - window.top, 250);
  EXPECT_EQ(dot_->BoundsRect(), ui::Bounds(13, 63, 13, 13));
  EXPECT_EQ(requests_.back(), L"dot@120");
}

TEST_F(ScalingForm, AWindowCreatedOnAScreenOf96DpiIsLeftAsItsLayoutIs) {
  ASSERT_TRUE(form_.CreateHandle());
  // The test session's screen is at 96 dpi: nothing is scaled or asked again.
  EXPECT_EQ(form_.Dpi(), 96);
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_EQ(form_.ClientWidth(), 300);
}

// --- pictures for a resolution between two sets ------------------------------

ui::TPngImage Row(std::vector<std::uint32_t> pixels) {
  const int width = static_cast<int>(pixels.size());
  return ui::TPngImage::FromPixels(width, 1, std::move(pixels));
}

TEST(ResampleImage, EachPixelIsTheMeanOfTheAreaItCovers) {
  constexpr std::uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, clear = 0x00000000;
  // Halving: pairs become one pixel each.
  EXPECT_EQ(ui::ResampleImage(Row({red, red, blue, blue}), 2, 1).Pixels(),
            (std::vector<std::uint32_t>{red, blue}));
  // Three into two: the middle pixel is shared half and half.
  EXPECT_EQ(ui::ResampleImage(Row({red, red, blue}), 2, 1).Pixels(),
            (std::vector<std::uint32_t>{red, 0xFF5500AA}));
  // Premultiplied: an edge fading to nothing keeps its colour, only its
  // alpha falls (no dark fringe).
  EXPECT_EQ(ui::ResampleImage(Row({red, clear}), 1, 1).Pixels(),
            (std::vector<std::uint32_t>{0x80800000}));
  // One colour stays exactly that colour at any size.
  const ui::TPngImage grey =
      ui::TPngImage::FromPixels(7, 5, std::vector<std::uint32_t>(35, 0xFF17202F));
  for (auto [w, h] : {std::pair{6, 4}, std::pair{3, 5}, std::pair{10, 9}}) {
    const ui::TPngImage made = ui::ResampleImage(grey, w, h);
    EXPECT_EQ(made.Width(), w);
    EXPECT_EQ(made.Height(), h);
    EXPECT_EQ(made.Pixels(),
              std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0xFF17202F));
  }
  // Its own size: untouched.
  EXPECT_EQ(ui::ResampleImage(Row({red, clear, blue}), 3, 1).Pixels(),
            (std::vector<std::uint32_t>{red, clear, blue}));
}

}  // namespace
