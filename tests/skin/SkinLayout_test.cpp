// Reading window layouts: the compiled test window, and the errors.
#include <windows.h>

#include <gtest/gtest.h>

#include "../ui/TestSurface.h"
#include "skin/ImageRect.h"
#include "skin/LabelNote.h"
#include "skin/SkinLayoutClasses.h"
#include "skin/TransparentLabel.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/LayoutReader.h"

extern const std::string_view kTestWindowLayout;

namespace {

struct TestWindow {
  TestWindow() : form(L"TLayoutTestForm") {
    skin::RegisterSkinLayoutClasses();
    handlers.Add(L"FormCreate", ui::TNotifyEvent([this](ui::TComponent&) { ++created; }));
    handlers.Add(L"lblClick", ui::TNotifyEvent([this](ui::TComponent&) { ++clicks; }));
    handlers.Add(L"imgBgMouseDown", ui::TMouseEvent([this](ui::TComponent&, ui::TMouseButton,
                                                           ui::TShiftState, int x, int y) {
                   pressedAt = {x, y};
                 }));
  }
  template <typename T>
  T& Find(const wchar_t* name) {
    auto* component = dynamic_cast<T*>(form.FindComponent(name));
    EXPECT_NE(component, nullptr) << "no component of that kind named so";
    return *component;
  }

  ui::TForm form;
  ui::THandlerTable handlers;
  int created = 0;
  int clicks = 0;
  ui::TPoint pressedAt;
};

TEST(SkinLayout, ReadsTheCompiledWindow) {
  TestWindow w;
  ui::ReadLayout(w.form, kTestWindowLayout, w.handlers);

  EXPECT_EQ(w.form.Name(), L"frmTest");
  EXPECT_EQ(w.form.Caption(), L"Layout test");
  EXPECT_EQ(w.form.ClientWidth(), 120);
  EXPECT_EQ(w.form.ClientHeight(), 80);
  EXPECT_EQ(w.form.Color(), 0x00120C0Bu);
  EXPECT_TRUE(w.form.TransparentColor());
  EXPECT_EQ(w.form.TransparentColorValue(), ui::clFuchsia);

  const wchar_t* order[] = {L"imgBg", L"lbl_info", L"strip", L"lblOnStrip", L"note"};
  ASSERT_EQ(w.form.ComponentCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w.form.Components(i)->Name(), order[i]);

  auto& info = w.Find<skin::TLabel>(L"lbl_info");
  EXPECT_EQ(info.Caption(), L"Caf\u00e9 \"quoted\"");
  EXPECT_EQ(info.BoundsRect(), ui::Bounds(4, 4, 100, 30));
  EXPECT_EQ(info.EllipsisPosition(), ui::epWordEllipsis);
  EXPECT_EQ(info.Font().Height, -12);
  EXPECT_EQ(info.Font().Style, ui::fsBold);
  EXPECT_EQ(info.Font().Name, L"Tahoma");
  EXPECT_EQ(info.Cursor(), ui::crHandPoint);

  auto& strip = w.Find<skin::TImageRect>(L"strip");
  ASSERT_EQ(strip.Items().Count(), 2);
  EXPECT_EQ(strip.Items().Items(0).Name(), L"Image_bg");
  EXPECT_EQ(strip.Items().Items(0).Align(), ui::alClient);
  EXPECT_EQ(strip.Items().Items(1).Picture().Width(), 6);
  EXPECT_EQ(w.Find<ui::TLabel>(L"lblOnStrip").Parent(), &strip);
  EXPECT_EQ(strip.Parent(), &w.form);

  // Loading stores the index without touching the caption.
  auto& note = w.Find<skin::TLabelNote>(L"note");
  EXPECT_EQ(note.TextIndex(), 1);
  EXPECT_EQ(note.Caption(), L"");
  EXPECT_EQ(note.Items().Items(0).Name(), L"a");
}

TEST(SkinLayout, PropertiesLeftOutKeepTheirDefaults) {
  TestWindow w;
  ui::ReadLayout(w.form, kTestWindowLayout, w.handlers);
  // The layout says nothing of these.
  EXPECT_TRUE(w.Find<skin::TLabel>(L"lbl_info").Transparent());
  EXPECT_FALSE(w.Find<ui::TImage>(L"imgBg").Center());
  EXPECT_TRUE(w.Find<ui::TImage>(L"imgBg").Visible());
  const skin::TImageItem& cap = w.Find<skin::TImageRect>(L"strip").Items().Items(1);
  EXPECT_FALSE(cap.Stretch());
  EXPECT_TRUE(cap.Visible());
  EXPECT_EQ(w.Find<skin::TImageRect>(L"strip").Left(), 0);
  EXPECT_EQ(w.form.Tag(), 0);
}

TEST(SkinLayout, EventsReachTheFormsHandlers) {
  TestWindow w;
  ui::ReadLayout(w.form, kTestWindowLayout, w.handlers);
  ASSERT_TRUE(w.form.CreateHandle());
  EXPECT_EQ(w.created, 1);
  SendMessageW(w.form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 50));
  SendMessageW(w.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 50));
  SendMessageW(w.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 50));
  EXPECT_EQ(w.pressedAt, (ui::TPoint{60, 50}));
  SendMessageW(w.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(w.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(w.clicks, 1);
}

TEST(SkinLayout, CompiledPicturesPaint) {
  TestWindow w;
  ui::ReadLayout(w.form, kTestWindowLayout, w.handlers);
  uitest::TestSurface surface(120, 80);
  w.form.PaintTo(surface.dc(), 0, 0);
  EXPECT_EQ(surface.Pixel(60, 40), 0x00FF00u);
  EXPECT_EQ(surface.Pixel(60, 76), 0x0000FFu);
  // Half red over the blue strip.
  EXPECT_TRUE(uitest::NearColor(surface.Pixel(2, 76), 0x80007F));
}

// Enumerations, cursors and fonts read through the plain setters: each
// value kind is converted by its type, not by a reader written per property.
TEST(SkinLayout, NamedValuesConvertByTheSettersType) {
  TestWindow w;
  ui::ReadLayout(w.form,
                 "TLayoutTestForm f {\n"
                 "  Font = { Name = \"Arial\" Height = -14 }\n"
                 "  TLabel a { Alignment = taRightJustify Layout = tlBottom Cursor = crSizeWE\n"
                 "             Font = { Style = [fsBold fsItalic] } }\n"
                 "  TLabel b { Alignment = taCenter Layout = tlCenter Cursor = -21 }\n"
                 "}",
                 w.handlers);
  auto& a = w.Find<ui::TLabel>(L"a");
  EXPECT_EQ(a.Alignment(), ui::taRightJustify);
  EXPECT_EQ(a.Layout(), ui::tlBottom);
  EXPECT_EQ(a.Cursor(), ui::crSizeWE);
  // The group changes only what it names of the font the label had, which
  // was its parent's.
  EXPECT_EQ(a.Font().Name, L"Arial");
  EXPECT_EQ(a.Font().Height, -14);
  EXPECT_EQ(a.Font().Style, ui::fsBold | ui::fsItalic);
  EXPECT_FALSE(a.ParentFont());
  auto& b = w.Find<ui::TLabel>(L"b");
  EXPECT_EQ(b.Alignment(), ui::taCenter);
  EXPECT_EQ(b.Layout(), ui::tlCenter);
  EXPECT_EQ(b.Cursor(), ui::crHandPoint);
}

TEST(SkinLayout, MistakesAreNamedInTheError) {
  struct Case {
    const char* layout;
    const char* mentions;
  };
  const Case cases[] = {
      {"TLayoutTestForm f { TImage i { Sparkle = 1 } }", "Sparkle"},
      {"TLayoutTestForm f { TWidget w { } }", "TWidget"},
      {"TLayoutTestForm f { OnCreate = NoSuchHandler }", "NoSuchHandler"},
      {"TLayoutTestForm f { TImage i { Stretch = 3 } }", "Stretch"},
      {"TLayoutTestForm f { TImageRect r { Items = ( { Colour = 1 } ) } }", "Colour"},
      {"TLayoutTestForm f { TLabel l { Font = { Size = 9 } } }", "Size"},
      {"TLayoutTestForm f { TImage i { Picture = data \"0954506E67496D61676500\" } }", "Picture"},
      {"TOtherForm f { }", "TOtherForm"},
      {"TLayoutTestForm f {\n  Caption = \"open\n}", "line 2"},
      {"TLayoutTestForm f { Left = 99999999999 }", "too large"},
      {"TLayoutTestForm f { TLabel l { Alignment = taMiddle } }", "taMiddle"},
      {"TLayoutTestForm f { TLabel l { Layout = alTop } }", "alTop"},
      {"TLayoutTestForm f { TLabel l { Cursor = crPointingFinger } }", "crPointingFinger"},
      {"TLayoutTestForm f { TLabel l { Font = 12 } }", "font group"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    TestWindow w;
    try {
      ui::ReadLayout(w.form, c.layout, w.handlers);
      ADD_FAILURE() << "no error";
    } catch (const ui::ELayoutError& e) {
      EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
    }
  }
}

}  // namespace
