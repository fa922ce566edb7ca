// The main window's layout as the tool loads it: the sixteen components in
// creation order with their kinds and places, the settings the look and the
// language files depend on, and every event bound to a handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "QuietServices.h"
#include "app/MainWindow.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "skin/ImageRect.h"
#include "ui/Button.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace {

TEST(MainWindowLayout, ComponentsComeInCreationOrderWithTheirKindsAndPlaces) {
  TfrmBRKPortable window(QuietServices());
  struct Expected {
    const wchar_t* name;
    const wchar_t* kind;
    int left, top, width, height;
  };
  const Expected expected[] = {
      {L"imgBg", L"TImage", 0, 0, 462, 302},
      {L"btnBg", L"TImageButton", 113, 83, 222, 179},
      {L"imgBtnGen", L"TImageButton", 126, 214, 192, 48},
      {L"lbl_info", L"TLabel", 18, 55, 395, 42},
      {L"lbl_reason", L"TLabel", 18, 83, 395, 15},
      {L"lbl_path", L"TLabel", 222, 277, 219, 15},
      {L"btnSelectPath", L"TImageButton", 18, 96, 395, 20},
      {L"frmbrdrHeader", L"TFormBorder", 0, 0, 463, 40},
      {L"imgBtnClose", L"TImageButton", 423, 2, 35, 28},
      {L"lbl_Caption", L"TLabel", 43, 11, 292, 19},
      {L"imgBorderLeft", L"TImage", 0, 40, 1, 263},
      {L"imgBorderRight", L"TImage", 460, 40, 1, 262},
      {L"Image1", L"TImage", 10, 6, 32, 32},
      {L"btnCancel", L"TButton", 351, 199, 90, 26},
      {L"imgProgress", L"TImageProgress", 130, 268, 187, 17},
      {L"ImageRect1", L"TImageRect", 0, 295, 462, 6},
  };
  EXPECT_EQ(window.Name(), L"frmBRKPortable");
  EXPECT_EQ(window.Caption(), L"Brightkeep Portable");
  EXPECT_EQ(window.ClientWidth(), 463);
  EXPECT_EQ(window.ClientHeight(), 303);
  EXPECT_EQ(window.Color(), ui::clBlack);
  EXPECT_TRUE(window.TransparentColor());
  EXPECT_EQ(window.TransparentColorValue(), ui::clFuchsia);
  EXPECT_TRUE(window.DoubleBuffered());
  ASSERT_EQ(window.ComponentCount(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < window.ComponentCount(); ++i) {
    const Expected& e = expected[i];
    auto* control = dynamic_cast<ui::TControl*>(window.Components(i));
    ASSERT_NE(control, nullptr);
    SCOPED_TRACE(std::string(e.name, e.name + wcslen(e.name)));
    EXPECT_EQ(control->Name(), e.name);
    EXPECT_EQ(control->ClassName(), e.kind);
    EXPECT_EQ(control->Parent(), &window);
    EXPECT_EQ(control->BoundsRect(), ui::Bounds(e.left, e.top, e.width, e.height));
  }
}

TEST(MainWindowLayout, TextsFontsColoursAndStatesMatchTheDesign) {
  TfrmBRKPortable window(QuietServices());
  auto find = [&](const wchar_t* name) { return window.FindComponent(name); };
  auto& gen = *dynamic_cast<skin::TImageButton*>(find(L"imgBtnGen"));
  EXPECT_EQ(gen.Caption(), L"Generate");
  EXPECT_EQ(gen.Font().Height, -18);
  EXPECT_EQ(gen.Font().Color, 0x00FFE7B3u);
  EXPECT_EQ(gen.Font().Name, L"Tahoma");
  EXPECT_EQ(gen.DisabledFontColor(), 0x0066625Cu);
  EXPECT_EQ(gen.Cursor(), ui::crHandPoint);
  EXPECT_EQ(gen.Tag(), 0);

  auto& link = *dynamic_cast<skin::TImageButton*>(find(L"btnSelectPath"));
  EXPECT_EQ(link.Caption(), L"click here to change the default path.");
  EXPECT_EQ(link.Font().Color, 0x00FFFF00u);
  EXPECT_EQ(link.Font().Style, ui::fsUnderline);
  EXPECT_EQ(link.TextOffset(), 0);
  EXPECT_EQ(link.DisabledFontColor(), 0x00AEAAA6u);
  EXPECT_EQ(link.ButtonCaptionALignment(), ui::taLeftJustify);

  auto& info = *dynamic_cast<ui::TLabel*>(find(L"lbl_info"));
  EXPECT_EQ(info.Caption().back(), L' ') << "the sentence goes on in the link";
  EXPECT_TRUE(info.WordWrap());
  EXPECT_FALSE(info.AutoSize());
  EXPECT_EQ(info.EllipsisPosition(), ui::epWordEllipsis);
  EXPECT_EQ(info.Font().Color, 0x00F1E7D4u);
  EXPECT_EQ(info.Font().Height, -12);

  auto& path = *dynamic_cast<ui::TLabel*>(find(L"lbl_path"));
  EXPECT_FALSE(path.Visible());
  EXPECT_EQ(path.EllipsisPosition(), ui::epPathEllipsis);
  EXPECT_EQ(path.Font().Style, ui::fsBold);

  auto& caption = *dynamic_cast<ui::TLabel*>(find(L"lbl_Caption"));
  EXPECT_EQ(caption.Caption(), L"Brightkeep Portable");
  EXPECT_EQ(caption.Font().Height, -16);
  EXPECT_EQ(caption.Font().Color, 0x00AEAAA6u);
  EXPECT_EQ(caption.Font().Style, ui::fsBold);

  auto& cancel = *dynamic_cast<ui::TButton*>(find(L"btnCancel"));
  EXPECT_FALSE(cancel.Visible());
  EXPECT_FALSE(cancel.Enabled());
  EXPECT_EQ(cancel.Caption(), L"Cancel");

  auto& bar = *dynamic_cast<skin::TImageProgress*>(find(L"imgProgress"));
  EXPECT_FALSE(bar.Visible());
  EXPECT_EQ(bar.Tag(), 99);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Position(), 55);
  EXPECT_EQ(bar.Color(), 0x00120C0Bu);
  const wchar_t* barItems[] = {L"bg_middle",  L"bg_left",  L"bg_right",
                               L"bar_middle", L"bar_left", L"bar_right"};
  ASSERT_EQ(bar.Items().Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bar.Items().Items(i).Name(), barItems[i]);

  auto& strip = *dynamic_cast<skin::TImageRect*>(find(L"ImageRect1"));
  ASSERT_EQ(strip.Items().Count(), 3);
  EXPECT_EQ(strip.Items().Items(0).Align(), ui::alClient);

  // Every event the design wires is bound.
  auto& bg = *dynamic_cast<skin::TImageButton*>(find(L"btnBg"));
  for (ui::TControl* c : {static_cast<ui::TControl*>(&bg), static_cast<ui::TControl*>(&gen)}) {
    EXPECT_TRUE(c->OnClick && c->OnMouseDown && c->OnMouseUp && c->OnMouseEnter && c->OnMouseLeave)
        << std::string(c->Name().begin(), c->Name().end());
  }
  EXPECT_TRUE(link.OnClick);
  EXPECT_TRUE(dynamic_cast<ui::TControl*>(find(L"imgBtnClose"))->OnClick);
  EXPECT_TRUE(cancel.OnClick);
  EXPECT_TRUE(dynamic_cast<ui::TControl*>(find(L"imgBg"))->OnMouseDown);
  EXPECT_TRUE(caption.OnMouseDown);
  EXPECT_TRUE(window.OnCreate && window.OnDestroy);
}

}  // namespace
