// The skinned windows' label starts transparent; a layout may make it opaque.
#include "skin/TransparentLabel.h"

#include <gtest/gtest.h>

#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace {

struct Window {
  Window() : form(L"TTransparentLabelTestForm") {
    form.SetClientSize(120, 40);
    auto& background = ui::Create<ui::TImage>(form);
    background.SetBounds(0, 0, 120, 40);
    background.SetStretch(true);
    background.SetPicture(uitest::SolidPicture(1, 1, 0, 255, 0));
    background.SetParent(&form);
    label = &ui::Create<skin::TLabel>(form);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 120, 40);
    label->SetCaption(L"Portable");
    label->SetParent(&form);
  }
  ui::TForm form;
  skin::TLabel* label;
};

TEST(TransparentLabel, StartsTransparentUnderTheStandardClassName) {
  Window window;
  EXPECT_EQ(window.label->ClassName(), L"TLabel");
  EXPECT_TRUE(window.label->Transparent());
  uitest::TestSurface surface(120, 40);
  window.form.PaintTo(surface.dc(), 0, 0);
  const int background = surface.Count(ui::Bounds(0, 0, 120, 40), 0x00FF00);
  // The letters cover some pixels; the background shows everywhere else.
  EXPECT_GT(background, 120 * 40 * 3 / 4);
  EXPECT_LT(background, 120 * 40);
}

TEST(TransparentLabel, LayoutCanStillMakeItOpaque) {
  Window window;
  window.label->SetTransparent(false);
  uitest::TestSurface surface(120, 40);
  window.form.PaintTo(surface.dc(), 0, 0);
  EXPECT_EQ(surface.Count(ui::Bounds(0, 0, 120, 40), 0x00FF00), 0);
}

}  // namespace
