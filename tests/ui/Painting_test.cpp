// What the window-less host and the standard controls paint, read back from
// an off-screen surface.
#include <windows.h>

#include <gtest/gtest.h>

#include "PngFixture.h"
#include "TestSurface.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace {

using uitest::NearColor;
using uitest::SolidPicture;
using uitest::TestSurface;

struct Scene {
  Scene() : form(L"TPaintingTestForm") {
    form.SetClientSize(100, 60);
    form.SetColor(0x000000FF);  // red
  }
  ui::TImage& AddImage(int left, int top, int w, int h, const ui::TPicture& picture) {
    auto& image = ui::Create<ui::TImage>(form);
    image.SetBounds(left, top, w, h);
    image.SetStretch(true);
    image.SetPicture(picture);
    image.SetParent(&form);
    return image;
  }
  std::uint32_t PixelAfterPaint(TestSurface& surface, int x, int y) {
    form.PaintTo(surface.dc(), 0, 0);
    return surface.Pixel(x, y);
  }
  ui::TForm form;
};

TEST(Painting, LaterWindowlessControlsLieAboveEarlierOnes) {
  Scene scene;
  auto& green = scene.AddImage(10, 10, 30, 30, SolidPicture(1, 1, 0, 255, 0));
  scene.AddImage(20, 20, 30, 30, SolidPicture(1, 1, 0, 0, 255));
  TestSurface surface(100, 60);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 25, 25), 0x0000FFu);
  EXPECT_EQ(surface.Pixel(15, 15), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(45, 45), 0x0000FFu);
  EXPECT_EQ(surface.Pixel(5, 5), 0xFF0000u);  // the form's own colour

  green.BringToFront();
  EXPECT_EQ(scene.PixelAfterPaint(surface, 25, 25), 0x00FF00u);

  green.SetVisible(false);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 15, 15), 0xFF0000u);
}

TEST(Painting, PicturesBlendOverTheParentByTheirAlpha) {
  Scene scene;
  scene.AddImage(0, 0, 50, 50, SolidPicture(1, 1, 255, 255, 255, 128));
  auto& clear = scene.AddImage(50, 0, 50, 50, SolidPicture(2, 2, 0, 255, 0, 0));
  clear.SetStretch(false);
  TestSurface surface(100, 60);
  // Half-white over red.
  EXPECT_TRUE(NearColor(scene.PixelAfterPaint(surface, 25, 25), 0xFF8080));
  EXPECT_EQ(surface.Pixel(50, 0), 0xFF0000u);
}

TEST(Painting, UnstretchedPictureKeepsItsSizeAndCentredOneSitsInTheMiddle) {
  Scene scene;
  auto& image = scene.AddImage(0, 0, 40, 40, SolidPicture(10, 10, 0, 255, 0));
  image.SetStretch(false);
  TestSurface surface(100, 60);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 9, 9), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(10, 10), 0xFF0000u);

  image.SetCenter(true);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 15, 15), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(24, 24), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(14, 14), 0xFF0000u);

  image.SetAutoSize(true);
  EXPECT_EQ(image.Width(), 10);
  EXPECT_EQ(image.Height(), 10);
}

TEST(Painting, ChildrenAreClippedToTheirBounds) {
  Scene scene;
  auto& image = scene.AddImage(10, 10, 5, 5, SolidPicture(20, 20, 0, 255, 0));
  image.SetStretch(false);
  TestSurface surface(100, 60);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 14, 14), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(15, 15), 0xFF0000u);
}

TEST(Painting, TransparentLabelShowsTheParentBetweenItsLettersAndOpaqueOneDoesNot) {
  Scene scene;
  scene.AddImage(0, 0, 100, 60, SolidPicture(1, 1, 0, 255, 0));
  auto& label = ui::Create<ui::TLabel>(scene.form);
  label.SetAutoSize(false);
  label.SetBounds(5, 5, 90, 30);
  label.SetCaption(L"Hello");
  ui::TFont font;
  font.Color = ui::clBlack;
  font.Height = -16;
  label.SetFont(font);
  label.SetColor(0x00FF0000);  // blue
  label.SetParent(&scene.form);
  const ui::TRect area = ui::Bounds(5, 5, 90, 30);

  TestSurface opaque(100, 60);
  scene.form.PaintTo(opaque.dc(), 0, 0);
  EXPECT_EQ(opaque.Count(area, 0x00FF00), 0);
  EXPECT_GT(opaque.Count(area, 0x0000FF), area.Width() * area.Height() / 2);
  const int inkOpaque = opaque.Count(area, 0x000000);
  EXPECT_GT(inkOpaque, 20);

  label.SetTransparent(true);
  TestSurface transparent(100, 60);
  scene.form.PaintTo(transparent.dc(), 0, 0);
  EXPECT_EQ(transparent.Count(area, 0x0000FF), 0);
  EXPECT_GT(transparent.Count(area, 0x00FF00), area.Width() * area.Height() / 2);
  EXPECT_EQ(transparent.Count(area, 0x000000), inkOpaque);
}

TEST(Painting, LabelEllipsisFlagsFollowTheSetting) {
  ui::TLabel label;
  label.SetWordWrap(true);
  label.SetEllipsisPosition(ui::epWordEllipsis);
  EXPECT_EQ(label.DrawTextFlags() & (DT_WORDBREAK | DT_WORD_ELLIPSIS | DT_EDITCONTROL),
            static_cast<UINT>(DT_WORDBREAK | DT_WORD_ELLIPSIS | DT_EDITCONTROL));
  label.SetWordWrap(false);
  label.SetEllipsisPosition(ui::epPathEllipsis);
  EXPECT_EQ(label.DrawTextFlags() & (DT_PATH_ELLIPSIS | DT_WORDBREAK),
            static_cast<UINT>(DT_PATH_ELLIPSIS));
}

TEST(Painting, AutoSizedLabelFitsItsText) {
  ui::TLabel label;
  label.SetCaption(L"Short");
  const int shortWidth = label.Width();
  label.SetCaption(L"A good deal longer");
  EXPECT_GT(shortWidth, 0);
  EXPECT_GT(label.Width(), shortWidth);
  EXPECT_GT(label.Height(), 8);
}

TEST(Painting, ColourKeyedFormMakesTheKeyColourSeeThrough) {
  Scene scene;
  scene.form.SetTransparentColor(true);
  scene.form.SetTransparentColorValue(ui::clFuchsia);
  scene.AddImage(0, 0, 10, 10, SolidPicture(1, 1, 255, 0, 255));
  ASSERT_TRUE(scene.form.CreateHandle());
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(scene.form.Handle(), &key, nullptr, &flags));
  EXPECT_EQ(key, RGB(255, 0, 255));
  EXPECT_TRUE(flags & LWA_COLORKEY);
  // The key colour must reach the window exactly, or it is no hole.
  TestSurface surface(100, 60);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 5, 5), 0xFF00FFu);

  scene.form.SetTransparentColor(false);
  EXPECT_FALSE(GetWindowLongPtrW(scene.form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(Painting, WindowedChildrenPaintAboveWindowlessOnes) {
  Scene scene;
  scene.AddImage(0, 0, 100, 60, SolidPicture(1, 1, 0, 255, 0));
  auto& panel = ui::Create<ui::TCustomControl>(scene.form);
  panel.SetBounds(10, 10, 20, 20);
  panel.SetColor(0x00FF0000);
  panel.SetParent(&scene.form);
  auto& late = scene.AddImage(0, 0, 100, 60, SolidPicture(1, 1, 255, 255, 0));
  late.SetStretch(true);
  TestSurface surface(100, 60);
  EXPECT_EQ(scene.PixelAfterPaint(surface, 15, 15), 0x0000FFu);
  EXPECT_EQ(surface.Pixel(50, 50), 0xFFFF00u);
}

TEST(Painting, DoubleBufferedWindowShowsWhatItsChildrenPaint) {
  Scene scene;
  scene.form.SetDoubleBuffered(true);
  scene.AddImage(40, 20, 20, 20, SolidPicture(1, 1, 0, 255, 0));
  scene.form.Show();
  // Part of the window first, so that the buffer's offset matters.
  const RECT part{30, 10, 70, 50};
  InvalidateRect(scene.form.Handle(), &part, FALSE);
  UpdateWindow(scene.form.Handle());
  InvalidateRect(scene.form.Handle(), nullptr, FALSE);
  UpdateWindow(scene.form.Handle());
  HDC window = GetDC(scene.form.Handle());
  TestSurface surface(100, 60);
  BitBlt(surface.dc(), 0, 0, 100, 60, window, 0, 0, SRCCOPY);
  ReleaseDC(scene.form.Handle(), window);
  EXPECT_EQ(surface.Pixel(50, 30), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(35, 15), 0xFF0000u);
  EXPECT_EQ(surface.Pixel(90, 50), 0xFF0000u);
}

TEST(Painting, SystemMovesAndSizesBecomeTheFormsBounds) {
  Scene scene;
  auto& top = scene.AddImage(0, 0, 10, 8, SolidPicture(1, 1, 0, 255, 0));
  top.SetAlign(ui::alTop);
  // A form that offers sizing (a form that does not keeps its size).
  scene.form.AddWindowStyle(WS_MAXIMIZEBOX);
  ASSERT_TRUE(scene.form.CreateHandle());
  SetWindowPos(scene.form.Handle(), nullptr, 30, 40, 150, 70, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(scene.form.BoundsRect(), ui::Bounds(30, 40, 150, 70));
  EXPECT_EQ(top.Width(), 150);
  scene.form.SetClientSize(160, 70);
  RECT r{};
  GetWindowRect(scene.form.Handle(), &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.right - r.left, 160);
}

// A hover or a press repaints one control; destroying one repaints what
// it covered. Either way the rest of the window is left alone.
TEST(Painting, AControlsChangeOrDestructionRepaintsOnlyItsOwnRectangle) {
  struct Case {
    const char* name;
    void (*act)(ui::TForm& form, ui::TImage& image);
  };
  const Case cases[] = {
      {"repaint request", [](ui::TForm&, ui::TImage& image) { image.Invalidate(); }},
      {"destruction", [](ui::TForm& form, ui::TImage& image) { form.RemoveComponent(image); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    auto& image = scene.AddImage(40, 20, 20, 10, SolidPicture(1, 1, 0, 255, 0));
    scene.form.Show();
    UpdateWindow(scene.form.Handle());
    RECT pending{};
    ASSERT_FALSE(GetUpdateRect(scene.form.Handle(), &pending, FALSE));
    c.act(scene.form, image);
    ASSERT_TRUE(GetUpdateRect(scene.form.Handle(), &pending, FALSE));
    EXPECT_EQ(pending.left, 40);
    EXPECT_EQ(pending.top, 20);
    EXPECT_EQ(pending.right, 60);
    EXPECT_EQ(pending.bottom, 30);
  }
}

}  // namespace
