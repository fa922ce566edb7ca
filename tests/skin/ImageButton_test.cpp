// The image button: which picture it paints in which state, where its
// caption goes, how it answers the mouse (driven by synthesized messages on
// a real window), how each property's change shows, and reading it from a
// layout.
#include "skin/ImageButton.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"
#include "skin/FocusRing.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/LayoutReader.h"

namespace {

using skin::TImageButton;
using uitest::SolidPicture;
using uitest::TestSurface;

constexpr std::uint32_t kParent = 0x102030;  // the form's colour as a pixel

// A form with one button at (10, 10), 60 by 30.
struct Scene {
  Scene() : form(L"TImageButtonTestForm") {
    form.SetClientSize(200, 100);
    form.SetColor(0x00302010);
    button = &ui::Create<TImageButton>(form);
    button->SetName(L"btn");
    button->SetBounds(10, 10, 60, 30);
    button->SetParent(&form);
  }
  TestSurface& Paint() {
    form.PaintTo(surface.dc(), 0, 0);
    return surface;
  }
  ui::TForm form;
  TImageButton* button = nullptr;
  TestSurface surface{200, 100};
};

// The smallest rectangle holding every pixel of `r` that is not `background`.
ui::TRect Ink(const TestSurface& surface, ui::TRect r, std::uint32_t background) {
  ui::TRect ink{r.Right, r.Bottom, r.Left, r.Top};
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      if (surface.Pixel(x, y) == background) continue;
      ink.Left = std::min(ink.Left, x);
      ink.Top = std::min(ink.Top, y);
      ink.Right = std::max(ink.Right, x + 1);
      ink.Bottom = std::max(ink.Bottom, y + 1);
    }
  }
  return ink;
}

TEST(ImageButton, ChoosesItsBackgroundPictureByStateHoverEnabledAndExpand) {
  enum Pic { Normal = 1, Down = 2, Over = 4, Disabled = 8, Selected = 16, Expanded = 32 };
  struct Case {
    const char* what;
    int pictures;
    skin::TImageButtonState state;
    bool over;
    bool enabled;
    bool expand;
    std::uint32_t expected;
  };
  constexpr int kAll = Normal | Down | Over | Disabled | Selected | Expanded;
  constexpr std::uint32_t kNormal = 0x0000FF, kDown = 0x00FF00, kOver = 0xFF0000,
                          kDisabled = 0x808080, kSelected = 0xFFFF00, kExpand = 0x00FFFF;
  const Case cases[] = {
      {"normal", kAll, skin::ibsNormal, false, true, false, kNormal},
      {"hover", kAll, skin::ibsNormal, true, true, false, kOver},
      {"hover without an over picture", kAll & ~Over, skin::ibsNormal, true, true, false, kNormal},
      {"pressed on the button", kAll, skin::ibsDown, true, true, false, kDown},
      {"pressed, pointer dragged off", kAll, skin::ibsDown, false, true, false, kNormal},
      {"pressed without a down picture", kAll & ~Down, skin::ibsDown, true, true, false, kOver},
      {"pressed without down or over", kAll & ~Down & ~Over, skin::ibsDown, true, true, true,
       kExpand},
      {"pressed with nothing but normal", Normal, skin::ibsDown, true, true, true, kNormal},
      {"disabled under the pointer", kAll, skin::ibsDisabled, true, false, false, kDisabled},
      {"disabled without its picture", kAll & ~Disabled, skin::ibsDisabled, false, false, false,
       kNormal},
      {"pressed look survives disabling", kAll, skin::ibsDown, true, false, false, kDown},
      {"selected", kAll, skin::ibsSelected, false, true, true, kSelected},
      {"selected without its picture", kAll & ~Selected, skin::ibsSelected, false, true, true,
       kExpand},
      {"expanded", kAll, skin::ibsNormal, false, true, true, kExpand},
      {"expanded without its picture", kAll & ~Expanded, skin::ibsNormal, false, true, true,
       kNormal},
      {"no pictures at all", 0, skin::ibsDown, true, true, true, kParent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    TImageButton& b = *scene.button;
    const auto pick = [&](int bit, std::uint8_t r, std::uint8_t g, std::uint8_t bl) {
      return (c.pictures & bit) ? SolidPicture(2, 2, r, g, bl) : ui::TPicture();
    };
    b.SetImageNormal(pick(Normal, 0, 0, 255));
    b.SetImageDown(pick(Down, 0, 255, 0));
    b.SetImageOver(pick(Over, 255, 0, 0));
    b.SetImageDisabled(pick(Disabled, 128, 128, 128));
    b.SetImageSelected(pick(Selected, 255, 255, 0));
    b.SetExpandImage(pick(Expanded, 0, 255, 255));
    b.SetEnabled(c.enabled);
    b.SetButtonState(c.state);
    b.SetMouseOver(c.over);
    b.SetExpand(c.expand);
    TestSurface& s = scene.Paint();
    // Stretched over the whole button, and nothing outside it.
    EXPECT_EQ(s.Pixel(10, 10), c.expected);
    EXPECT_EQ(s.Pixel(69, 39), c.expected);
    EXPECT_EQ(s.Pixel(70, 40), kParent);
  }
}

TEST(ImageButton, HalfTransparentPictureBlendsOverTheParent) {
  Scene scene;
  scene.button->SetImageNormal(SolidPicture(1, 1, 255, 255, 255, 128));
  EXPECT_TRUE(uitest::NearColor(scene.Paint().Pixel(30, 20), 0x889098));
}

// A caption without pictures, white on the form's colour, in a 120 by 40
// button at (10, 10); where its letters land.
struct CaptionScene : Scene {
  CaptionScene(ui::TAlignment alignment, int textOffset, const std::wstring& caption) {
    button->SetBounds(10, 10, 120, 40);
    ui::TFont font;
    font.Color = ui::clWhite;
    button->SetFont(font);
    button->SetButtonCaptionALignment(alignment);
    button->SetTextOffset(textOffset);
    button->SetCaption(caption);
  }
  ui::TRect Letters() { return Ink(Paint(), ui::Bounds(0, 0, 200, 100), kParent); }
};

TEST(ImageButton, SingleLineCaptionFollowsAlignmentAndTextOffsetAndIsCentredVertically) {
  struct Case {
    ui::TAlignment alignment;
    int textOffset;
    int left, right;  // where the letters' outer edges may lie (ranges)
  };
  // "Hi" is about 10 pixels wide; glyphs keep a pixel or two of bearing.
  const Case cases[] = {
      {ui::taLeftJustify, 0, 10, 13},      // the link style: starts at the edge
      {ui::taLeftJustify, 20, 30, 33},     // inset by the offset
      {ui::taRightJustify, 20, 107, 110},  // ends the offset before the right edge
      {ui::taRightJustify, 0, 127, 130},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "alignment " << int(c.alignment) << " offset " << c.textOffset);
    CaptionScene scene(c.alignment, c.textOffset, L"Hi");
    const ui::TRect ink = scene.Letters();
    if (c.alignment == ui::taLeftJustify) {
      EXPECT_GE(ink.Left, c.left);
      EXPECT_LE(ink.Left, c.right);
    } else {
      EXPECT_GE(ink.Right, c.left);
      EXPECT_LE(ink.Right, c.right);
    }
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2, 30, 3) << "vertically centred";
  }
  // Centred ignores the offset.
  CaptionScene centred(ui::taCenter, 40, L"Hi");
  const ui::TRect ink = centred.Letters();
  EXPECT_NEAR((ink.Left + ink.Right) / 2, 70, 2);
}

TEST(ImageButton, TextTopOffsetMovesALineButAWrappedCaptionStartsAtTheTop) {
  // One line: centred in what the offset leaves.
  CaptionScene line(ui::taCenter, 20, L"Hi");
  line.button->SetTextTopOffset(16);
  const ui::TRect moved = line.Letters();
  EXPECT_NEAR((moved.Top + moved.Bottom) / 2, 10 + (16 + 40) / 2, 3);

  // Too wide for one line: wrapped from the top, and a negative offset,
  // which would hide the first line, counts as none.
  CaptionScene wrapped(ui::taLeftJustify, 0, L"one two three four five six seven");
  wrapped.button->SetWidth(60);
  wrapped.button->SetHeight(60);
  wrapped.button->SetTextTopOffset(-30);
  const ui::TRect ink = wrapped.Letters();
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Top, 14) << "starts at the button's top, not centred";
  EXPECT_GE(ink.Height(), 20) << "more than one line";
  EXPECT_LE(ink.Right, 70) << "wrapped inside the button";
}

TEST(ImageButton, DisabledCaptionTakesTheDisabledFontColour) {
  CaptionScene scene(ui::taCenter, 20, L"HHHH");
  scene.button->SetDisabledFontColor(0x000000FF);
  const ui::TRect area = ui::Bounds(10, 10, 120, 40);
  TestSurface& enabled = scene.Paint();
  EXPECT_GT(enabled.Count(area, 0xFFFFFF), 10);
  EXPECT_EQ(enabled.Count(area, 0xFF0000), 0);
  scene.button->SetEnabled(false);
  TestSurface& disabled = scene.Paint();
  EXPECT_EQ(disabled.Count(area, 0xFFFFFF), 0);
  EXPECT_GT(disabled.Count(area, 0xFF0000), 10);
  // The default is the system's dark shadow colour.
  EXPECT_EQ(TImageButton().DisabledFontColor(), ui::cl3DDkShadow);
}

TEST(ImageButton, WithoutPicturesOnlyTheCaptionCoversTheParent) {
  Scene scene;
  auto& below = ui::Create<ui::TImage>(scene.form);
  below.SetBounds(0, 0, 200, 100);
  below.SetStretch(true);
  below.SetPicture(SolidPicture(1, 1, 0, 160, 0));
  below.SetParent(&scene.form);
  scene.button->BringToFront();
  scene.button->SetButtonCaptionALignment(ui::taLeftJustify);
  scene.button->SetTextOffset(0);
  scene.button->SetCaption(L"click here");
  TestSurface& s = scene.Paint();
  const ui::TRect area = ui::Bounds(10, 10, 60, 30);
  const ui::TRect ink = Ink(s, area, 0x00A000);
  EXPECT_FALSE(ink.IsEmpty()) << "the caption shows";
  // Around the letters, the picture beneath is untouched.
  EXPECT_GE(s.Count(area, 0x00A000) + ink.Width() * ink.Height(), area.Width() * area.Height());
  EXPECT_EQ(s.Pixel(10, 10), 0x00A000u);
  EXPECT_EQ(s.Pixel(69, 39), 0x00A000u);
}

// Where the pictures of the features this tool leaves unused land: the side
// icon, check box, extra picture, caption icon and gauge, in a 100 by 40
// button (rectangles in button coordinates).
TEST(ImageButton, FeaturePicturesLandWhereTheirOffsetsAndAlignmentsPutThem) {
  const ui::TPicture piece = SolidPicture(8, 6, 255, 0, 255);
  struct Case {
    const char* what;
    std::function<void(TImageButton&)> setup;
    ui::TRect expected;
  };
  const Case cases[] = {
      {"side icon at the right",
       [&](TImageButton& b) { b.SetUpNormalIcon(piece); },
       {82, 17, 90, 23}},
      {"side icon at the left",
       [&](TImageButton& b) {
         b.SetUpNormalIcon(piece);
         b.SetIconAlign(ui::taLeftJustify);
       },
       {10, 17, 18, 23}},
      {"side icon centred, less its offset",
       [&](TImageButton& b) {
         b.SetUpNormalIcon(piece);
         b.SetIconAlign(ui::taCenter);
       },
       {36, 17, 44, 23}},
      {"the Dn set once chosen",
       [&](TImageButton& b) {
         b.SetUseDnIcons(true);
         b.SetDnNormalIcon(piece);
         b.SetUpNormalIcon(SolidPicture(8, 6, 1, 1, 1));
       },
       {82, 17, 90, 23}},
      {"check box",
       [&](TImageButton& b) {
         b.SetShowCheckBox(true);
         b.SetCheckBoxNormalImage(piece);
       },
       {10, 17, 18, 23}},
      {"extra picture, centred caption",
       [&](TImageButton& b) { b.SetProImage(piece); },
       {50, 17, 58, 23}},
      {"extra picture, right caption inset by its offset",
       [&](TImageButton& b) {
         b.SetProImage(piece);
         b.SetButtonCaptionALignment(ui::taRightJustify);
         b.SetProImageTopOffset(-5);
       },
       {30, 12, 38, 18}},
      {"caption icon left of a left caption",
       [&](TImageButton& b) {
         b.SetCaptionIcon(piece);
         b.SetCaptionIconVisible(true);
         b.SetButtonCaptionALignment(ui::taLeftJustify);
         b.SetTextOffset(30);
       },
       {12, 17, 20, 23}},
      {"caption icon of a centred caption, stretched",
       [&](TImageButton& b) {
         b.SetCaptionIcon(piece);
         b.SetCaptionIconVisible(true);
       },
       {8, 17, 44, 23}},
      {"gauge and its arrow at the middle level",
       [&](TImageButton& b) {
         b.SetRiskRateVisible(true);
         b.SetRiskRateBg(SolidPicture(20, 6, 255, 0, 255));
         b.SetRiskRateImage(SolidPicture(10, 4, 0, 0, 0));
         b.SetRiskRateArrow(SolidPicture(4, 4, 255, 0, 255));
         b.SetRiskRateOffset(10);
         b.SetRiskRate(2);
       },
       {70, 13, 90, 23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    scene.button->SetBounds(10, 10, 100, 40);
    c.setup(*scene.button);
    TestSurface& s = scene.Paint();
    ui::TRect found{200, 100, 0, 0};
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 200; ++x) {
        if (s.Pixel(x, y) != 0xFF00FF) continue;
        found = {std::min(found.Left, x - 10), std::min(found.Top, y - 10),
                 std::max(found.Right, x - 9), std::max(found.Bottom, y - 9)};
      }
    }
    EXPECT_EQ(found, c.expected);
  }
}

// The button's mouse reactions on a real window, with a log of its events;
// each entry carries the state and hover flag at the time of the event:
// N normal, D down, X disabled, S selected; h hovering, - not.
struct Host : Scene {
  Host() {
    EXPECT_TRUE(form.CreateHandle());
    TImageButton& b = *button;
    auto say = [this](const char* what) {
      const char states[] = "NDXS";
      log.push_back(std::string(what) + " " + states[button->ButtonState()] +
                    (button->MouseOver() ? "h" : "-"));
    };
    b.OnMouseEnter = [=](ui::TComponent&) { say("enter"); };
    b.OnMouseExit = [=](ui::TComponent&) { say("exit"); };
    b.OnMouseLeave = [=](ui::TComponent&) { say("leave"); };
    b.OnClick = [=](ui::TComponent&) { say("click"); };
    b.OnDblClick = [=](ui::TComponent&) { say("dblclick"); };
    b.CheckBoxOnClick = [=](ui::TComponent&) { say("check"); };
    b.OnMouseDown = [=](ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
      say("down");
    };
    b.OnMouseUp = [=](ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) { say("up"); };
    b.OnMouseMove = [=](ui::TComponent&, ui::TShiftState, int, int) { say("move"); };
  }
  void Send(UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageW(form.Handle(), message, keys, MAKELPARAM(x, y));
  }
  std::vector<std::string> log;
};

enum Op { In, Out, Down, Up, DblClick, RightDown, RightUp };

void Play(Host& host, const std::vector<Op>& ops) {
  for (Op op : ops) {
    switch (op) {
      case In:  // (15, 15) is inside the button, (100, 80) outside
        host.Send(WM_MOUSEMOVE, 15, 15);
        break;
      case Out:
        host.Send(WM_MOUSEMOVE, 100, 80);
        break;
      case Down:
        host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
        break;
      case Up:
        host.Send(WM_LBUTTONUP, 15, 15);
        break;
      case DblClick:
        host.Send(WM_LBUTTONDBLCLK, 15, 15, MK_LBUTTON);
        break;
      case RightDown:
        host.Send(WM_RBUTTONDOWN, 15, 15, MK_RBUTTON);
        break;
      case RightUp:
        host.Send(WM_RBUTTONUP, 15, 15);
        break;
    }
  }
}

TEST(ImageButton, StateTableDrivenByTheMouse) {
  using Log = std::vector<std::string>;
  struct Case {
    const char* what;
    std::function<void(TImageButton&)> setup;
    std::vector<Op> ops;
    Log expected;
    skin::TImageButtonState endState;
  };
  const auto none = [](TImageButton&) {};
  const Case cases[] = {
      {"entry and exit while enabled",
       none,
       {In, Out},
       {"enter N-", "move Nh", "exit Nh", "leave N-"},
       skin::ibsNormal},
      {"entry and exit while disabled",
       [](TImageButton& b) { b.SetEnabled(false); },
       {In, Down, Up, Out},
       {"leave X-"},
       skin::ibsDisabled},
      {"a click: pressed while down, released before the click",
       none,
       {In, Down, Up},
       {"enter N-", "move Nh", "down Dh", "click Nh", "up Nh"},
       skin::ibsNormal},
      {"dragged off and back while pressed",
       none,
       {In, Down, Out, In, Up},
       {"enter N-", "move Nh", "down Dh", "exit Dh", "leave D-", "move D-", "enter D-", "move Dh",
        "click Nh", "up Nh"},
       skin::ibsNormal},
      {"released off the button: no click",
       none,
       {In, Down, Out},
       {"enter N-", "move Nh", "down Dh", "exit Dh", "leave D-", "move D-"},
       skin::ibsDown},
      {"selected ignores down, move and up but still clicks",
       [](TImageButton& b) { b.SetButtonState(skin::ibsSelected); },
       {In, Down, Up, Out},
       {"enter S-", "click S-", "exit S-", "leave S-"},
       skin::ibsSelected},
      {"the right button presses nothing",
       none,
       {In, RightDown, RightUp},
       {"enter N-", "move Nh", "down Nh", "up Nh"},
       skin::ibsNormal},
      {"the check box swallows the press",
       [](TImageButton& b) {
         b.SetShowCheckBox(true);
         b.SetCheckBoxOffset(0);
         b.SetCheckBoxNormalImage(SolidPicture(20, 30, 1, 2, 3));
       },
       {In, Down, Up},
       {"enter N-", "move Nh", "check Nh", "up Nh"},
       skin::ibsNormal},
      {"a double-click gives one click",
       none,
       {In, Down, Up, DblClick, Up},
       {"enter N-", "move Nh", "down Dh", "click Nh", "up Nh", "dblclick Nh", "down Dh", "up Nh"},
       skin::ibsNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Host host;
    c.setup(*host.button);
    Play(host, c.ops);
    EXPECT_EQ(host.log, c.expected);
    EXPECT_EQ(host.button->ButtonState(), c.endState);
    EXPECT_EQ(host.button->Checked(), host.button->ShowCheckBox());
  }
}

TEST(ImageButton, EnablingAndDisablingSetTheState) {
  TImageButton b;
  b.SetButtonState(skin::ibsSelected);
  b.SetEnabled(false);
  EXPECT_EQ(b.ButtonState(), skin::ibsDisabled);
  b.SetEnabled(true);
  EXPECT_EQ(b.ButtonState(), skin::ibsNormal) << "not selected again";
  b.SetMouseOver(true);
  b.SetButtonState(skin::ibsSelected);
  EXPECT_FALSE(b.MouseOver());
}

// The main window runs a whole generation inside a click, serving messages
// meanwhile; the user may press the button again in that time.
TEST(ImageButton, PressAndReleaseInsideAClicksNestedLoopEachGetTheirOwnRelease) {
  Host host;
  int clicks = 0;
  host.button->OnClick = [&](ui::TComponent&) {
    if (++clicks > 1) return;
    PostMessageW(host.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    PostMessageW(host.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  };
  int ups = 0;
  host.button->OnMouseUp = [&](ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
    ++ups;
  };
  Play(host, {In, Down, Up});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(ups, 2) << "each press hears its own release";
  EXPECT_EQ(host.button->ButtonState(), skin::ibsNormal);
  EXPECT_EQ(GetCapture(), nullptr);
  // The next press is an ordinary one.
  Play(host, {Down});
  EXPECT_EQ(host.button->ButtonState(), skin::ibsDown);
  Play(host, {Up});
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(ups, 3);
}

// A handler may free the button that raised its event (a close button):
// the button must not touch itself afterwards, nor raise further events.
TEST(ImageButton, ButtonFreedByItsOwnEventIsLeftAlone) {
  struct Case {
    const char* what;
    std::vector<Op> ops;
  };
  const Case cases[] = {{"entry", {In}}, {"exit", {In, Out}}, {"check box", {In, Down}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Host host;
    TImageButton& b = *host.button;
    b.SetShowCheckBox(true);
    b.SetCheckBoxNormalImage(SolidPicture(60, 30, 1, 2, 3));
    b.SetCheckBoxOffset(0);
    int events = 0;
    const auto free = [&](ui::TComponent& sender) {
      ++events;
      host.form.RemoveComponent(sender);
    };
    const std::string what = c.what;
    if (what == "entry") b.OnMouseEnter = free;
    if (what == "exit") b.OnMouseExit = free;
    if (what == "check box") b.CheckBoxOnClick = free;
    b.OnMouseLeave = [&](ui::TComponent&) { ++events; };
    Play(host, c.ops);
    Play(host, {Up, Out});
    EXPECT_EQ(events, 1);
    EXPECT_EQ(host.form.ControlCount(), 0);
  }
}

TEST(ImageButton, HoverAndPressRepaintOnlyTheButton) {
  Host host;
  host.form.Show();
  UpdateWindow(host.form.Handle());
  for (Op op : {In, Down, Up, Out}) {
    SCOPED_TRACE(int(op));
    ValidateRect(host.form.Handle(), nullptr);
    Play(host, {op});
    RECT dirty{};
    GetUpdateRect(host.form.Handle(), &dirty, FALSE);
    EXPECT_EQ((ui::TRect{dirty.left, dirty.top, dirty.right, dirty.bottom}),
              ui::Bounds(10, 10, 60, 30));
  }
}

// How each property's change shows: painted at once, requested for the
// next paint, or not at all.
TEST(ImageButton, EachPropertyChangeRepaintsNowLaterOrNot) {
  enum Reaction { None, Later, Now };
  struct Counting : TImageButton {
    using TImageButton::TImageButton;
    void Paint(ui::TCanvas& canvas) override {
      ++paints;
      TImageButton::Paint(canvas);
    }
    int paints = 0;
  };
  using B = TImageButton;
  const ui::TPicture pic = SolidPicture(2, 2, 9, 9, 9);
  ui::TFont font;
  font.Height = -20;
  struct Case {
    const char* property;
    std::function<void(B&)> change;
    Reaction reaction;
    std::function<void(B&)> before = [](B&) {};
  };
  const Case cases[] = {
      {"Caption", [](B& b) { b.SetCaption(L"new"); }, Later},
      {"CaptionDesc", [](B& b) { b.SetCaptionDesc(L"d"); }, None},
      {"CaptionDescWidth", [](B& b) { b.SetCaptionDescWidth(5); }, None},
      {"CaptionDescFont", [&](B& b) { b.SetCaptionDescFont(font); }, None},
      {"CaptionDescVisible", [](B& b) { b.SetCaptionDescVisible(true); }, Later},
      {"CaptionDescTopOffset", [](B& b) { b.SetCaptionDescTopOffset(3); }, Later},
      {"CaptionDescTopOffset unchanged", [](B& b) { b.SetCaptionDescTopOffset(0); }, None},
      {"CaptionIcon", [&](B& b) { b.SetCaptionIcon(pic); }, Later},
      {"CaptionIconVisible", [](B& b) { b.SetCaptionIconVisible(true); }, Later},
      {"ImageNormal", [&](B& b) { b.SetImageNormal(pic); }, Now},
      {"ImageDown", [&](B& b) { b.SetImageDown(pic); }, Now},
      {"ImageOver", [&](B& b) { b.SetImageOver(pic); }, Now},
      {"ImageDisabled while enabled", [&](B& b) { b.SetImageDisabled(pic); }, None},
      {"ImageDisabled while disabled", [&](B& b) { b.SetImageDisabled(pic); }, Later,
       [](B& b) { b.SetEnabled(false); }},
      {"Expand", [](B& b) { b.SetExpand(true); }, Later},
      {"ExpandImage", [&](B& b) { b.SetExpandImage(pic); }, Now},
      {"ImageSelected", [&](B& b) { b.SetImageSelected(pic); }, None},
      {"UpNormalIcon", [&](B& b) { b.SetUpNormalIcon(pic); }, Later},
      {"DnHoverIcon", [&](B& b) { b.SetDnHoverIcon(pic); }, Later},
      {"ButtonCaptionALignment", [](B& b) { b.SetButtonCaptionALignment(ui::taLeftJustify); },
       Later},
      {"TextOffset", [](B& b) { b.SetTextOffset(4); }, Later},
      {"IconOffset", [](B& b) { b.SetIconOffset(4); }, Later},
      {"TextTopOffset", [](B& b) { b.SetTextTopOffset(4); }, Later},
      {"IconVisible", [](B& b) { b.SetIconVisible(false); }, Later},
      {"IconAlign", [](B& b) { b.SetIconAlign(ui::taCenter); }, None},
      {"ShowCheckBox", [](B& b) { b.SetShowCheckBox(true); }, Later},
      {"Checked", [](B& b) { b.SetChecked(true); }, Later},
      {"CheckBoxNormalImage", [&](B& b) { b.SetCheckBoxNormalImage(pic); }, Now},
      {"CheckBoxCheckedImage", [&](B& b) { b.SetCheckBoxCheckedImage(pic); }, Now},
      {"CheckBoxOffset", [](B& b) { b.SetCheckBoxOffset(4); }, Later},
      {"DisabledFontColor", [](B& b) { b.SetDisabledFontColor(ui::clWhite); }, Later},
      {"SubCaption", [](B& b) { b.SetSubCaption(L"s"); }, Later},
      {"SubCaptionOffset", [](B& b) { b.SetSubCaptionOffset(4); }, Later},
      {"SubCaptionTopOffset", [](B& b) { b.SetSubCaptionTopOffset(4); }, None},
      {"SubCaptionFont", [&](B& b) { b.SetSubCaptionFont(font); }, Later},
      {"SubCaptionData", [](B& b) { b.SetSubCaptionData(L"s"); }, Later},
      {"SubCaptionDataFont", [&](B& b) { b.SetSubCaptionDataFont(font); }, Later},
      {"ProImage", [&](B& b) { b.SetProImage(pic); }, Later},
      {"ProImageTopOffset", [](B& b) { b.SetProImageTopOffset(4); }, Later},
      {"ProImageTopOffset unchanged", [](B& b) { b.SetProImageTopOffset(0); }, None},
      {"RiskRate", [](B& b) { b.SetRiskRate(2); }, Later},
      {"RiskRateMax", [](B& b) { b.SetRiskRateMax(3); }, Later},
      {"RiskRateVisible", [](B& b) { b.SetRiskRateVisible(true); }, Later},
      {"RiskRateBg", [&](B& b) { b.SetRiskRateBg(pic); }, Later},
      {"RiskRateImage", [&](B& b) { b.SetRiskRateImage(pic); }, Later},
      {"RiskRateArrow", [&](B& b) { b.SetRiskRateArrow(pic); }, Later},
      {"RiskRateOffset", [](B& b) { b.SetRiskRateOffset(4); }, Later},
      {"RiskRateArrowTop", [](B& b) { b.SetRiskRateArrowTop(4); }, Later},
      {"RiskRateArrowTop unchanged", [](B& b) { b.SetRiskRateArrowTop(0); }, None},
      {"RiskRateMid", [](B& b) { b.SetRiskRateMid(L"m"); }, Later},
      {"RiskRateHigFont", [&](B& b) { b.SetRiskRateHigFont(font); }, None},
      {"ButtonState", [](B& b) { b.SetButtonState(skin::ibsDown); }, Later},
      {"MouseOver", [](B& b) { b.SetMouseOver(true); }, Later},
      {"Enabled", [](B& b) { b.SetEnabled(false); }, Later},
  };
  // One shown window for all (showing one takes a while under Wine), a new
  // button on it for each case.
  ui::TForm form(L"TImageButtonReactionForm");
  form.SetClientSize(100, 60);
  ASSERT_TRUE(form.CreateHandle());
  form.Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property);
    auto& b = ui::Create<Counting>(form);
    b.SetBounds(10, 10, 40, 20);
    b.SetParent(&form);
    c.before(b);
    UpdateWindow(form.Handle());
    ValidateRect(form.Handle(), nullptr);
    b.paints = 0;
    c.change(b);
    RECT dirty{};
    const bool pending = GetUpdateRect(form.Handle(), &dirty, FALSE) != FALSE;
    const Reaction seen = b.paints > 0 ? Now : pending ? Later : None;
    EXPECT_EQ(seen, c.reaction);
    if (pending) {
      EXPECT_EQ(dirty.left, 10) << "the button's own area";
    }
    form.RemoveComponent(b);
  }
}

TEST(ImageButton, RiskRateIsCutToItsMaximumOnlyWhenSet) {
  TImageButton b;
  b.SetRiskRate(9);
  EXPECT_EQ(b.RiskRate(), 5);
  b.SetRiskRateMax(3);
  EXPECT_EQ(b.RiskRate(), 5);
  b.SetRiskRate(4);
  EXPECT_EQ(b.RiskRate(), 3);
}

// Stored pictures: the picture class name as a short string, then the PNG.
std::string PictureData(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
  std::vector<std::uint8_t> bytes = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
  const auto png = uitest::EncodePng(PNG_FORMAT_RGBA, width, height, rgba.data());
  bytes.insert(bytes.end(), png.begin(), png.end());
  std::string hex = "data \"";
  for (std::uint8_t byte : bytes) {
    const char digits[] = "0123456789ABCDEF";
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex + "\"";
}

TEST(ImageButton, EveryPublishedPropertyReadsFromALayoutByName) {
  skin::RegisterSkinLayoutClasses();
  const std::string pic = PictureData(3, 2, 1, 2, 3);
  const std::string font = "{ Name = \"Arial\" Height = -15 Style = [fsUnderline] }";
  // Each published property with a value other than its default.
  const std::vector<std::pair<std::string, std::string>> values = {
      {"Left", "4"},
      {"Top", "5"},
      {"Width", "60"},
      {"Height", "30"},
      {"Tag", "7"},
      {"Cursor", "crHandPoint"},
      {"Hint", "\"h\""},
      {"ShowHint", "true"},
      {"ParentShowHint", "false"},
      {"Visible", "false"},
      {"Enabled", "false"},
      {"Align", "alTop"},
      {"Font", font},
      {"Caption", "\"Generate\""},
      {"CaptionDesc", "\"d\""},
      {"CaptionDescWidth", "11"},
      {"CaptionDescFont", font},
      {"CaptionDescVisible", "true"},
      {"CaptionDescTopOffset", "3"},
      {"CaptionIcon", pic},
      {"CaptionIconVisible", "true"},
      {"ImageNormal", pic},
      {"ImageDown", pic},
      {"ImageOver", pic},
      {"ImageDisabled", pic},
      {"Expand", "true"},
      {"ExpandImage", pic},
      {"ImageSelected", pic},
      {"UpDownIcon", pic},
      {"UpHoverIcon", pic},
      {"UpNormalIcon", pic},
      {"DnDownIcon", pic},
      {"DnHoverIcon", pic},
      {"DnNormalIcon", pic},
      {"ButtonCaptionALignment", "taLeftJustify"},
      {"TextOffset", "0"},
      {"IconOffset", "2"},
      {"TextTopOffset", "-1"},
      {"IconVisible", "false"},
      {"IconAlign", "taCenter"},
      {"ShowCheckBox", "true"},
      {"Checked", "true"},
      {"CheckBoxNormalImage", pic},
      {"CheckBoxCheckedImage", pic},
      {"CheckBoxOffset", "1"},
      {"DisabledFontColor", "0x0066625C"},
      {"SubCaption", "\"s\""},
      {"SubCaptionOffset", "1"},
      {"SubCaptionTopOffset", "1"},
      {"SubCaptionFont", font},
      {"SubCaptionData", "\"sd\""},
      {"SubCaptionDataFont", font},
      {"ProImage", pic},
      {"ProImageTopOffset", "1"},
      {"RiskRate", "8"},
      {"RiskRateMax", "9"},
      {"RiskRateVisible", "true"},
      {"RiskRateBg", pic},
      {"RiskRateImage", pic},
      {"RiskRateArrow", pic},
      {"RiskRateOffset", "1"},
      {"RiskRateArrowTop", "1"},
      {"RiskRateMin", "\"a\""},
      {"RiskRateMid", "\"b\""},
      {"RiskRateHig", "\"c\""},
      {"RiskRateMinFont", font},
      {"RiskRateMidFont", font},
      {"RiskRateHigFont", font},
      {"OnClick", "h"},
      {"OnDblClick", "h"},
      {"OnMouseEnter", "h"},
      {"OnMouseExit", "h"},
      {"OnMouseLeave", "h"},
      {"CheckBoxOnClick", "h"},
      {"OnMouseDown", "m"},
      {"OnMouseUp", "m"},
      {"OnMouseMove", "mm"},
  };
  std::string layout = "TImageButtonLayoutForm f {\n  TImageButton b {\n";
  for (const auto& [name, value] : values) layout += "    " + name + " = " + value + "\n";
  layout += "  }\n  TImageButton plain { }\n}\n";

  ui::TForm form(L"TImageButtonLayoutForm");
  ui::THandlerTable handlers;
  int notified = 0;
  handlers.Add(L"h", ui::TNotifyEvent([&](ui::TComponent&) { ++notified; }));
  handlers.Add(
      L"m", ui::TMouseEvent([](ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {}));
  handlers.Add(L"mm", ui::TMouseMoveEvent([](ui::TComponent&, ui::TShiftState, int, int) {}));
  ASSERT_NO_THROW(ui::ReadLayout(form, layout, handlers));

  auto& b = dynamic_cast<TImageButton&>(*form.FindComponent(L"b"));
  EXPECT_EQ(b.Caption(), L"Generate");
  EXPECT_EQ(b.Font().Name, L"Arial");
  EXPECT_EQ(b.Font().Height, -15);
  EXPECT_EQ(b.CaptionDescFont().Style, ui::fsUnderline);
  EXPECT_EQ(b.RiskRateHigFont().Name, L"Arial");
  EXPECT_EQ(b.ButtonCaptionALignment(), ui::taLeftJustify);
  EXPECT_EQ(b.IconAlign(), ui::taCenter);
  EXPECT_EQ(b.TextOffset(), 0);
  EXPECT_EQ(b.TextTopOffset(), -1);
  EXPECT_EQ(b.DisabledFontColor(), 0x0066625Cu);
  EXPECT_EQ(b.ImageDown().Width(), 3);
  EXPECT_EQ(b.RiskRateArrow().Height(), 2);
  EXPECT_EQ(b.Cursor(), ui::crHandPoint);
  EXPECT_EQ(b.Tag(), 7);
  EXPECT_EQ(b.RiskRate(), 8) << "the rate is read before its maximum and still kept";
  EXPECT_EQ(b.ButtonState(), skin::ibsDisabled);
  b.OnMouseExit(b);
  b.CheckBoxOnClick(b);
  EXPECT_EQ(notified, 2);

  // A layout leaves out what equals the declared defaults: those are what a
  // new button starts with.
  auto& plain = dynamic_cast<TImageButton&>(*form.FindComponent(L"plain"));
  EXPECT_EQ(plain.BoundsRect(), ui::Bounds(0, 0, 23, 23));
  EXPECT_TRUE(plain.Visible());
  EXPECT_TRUE(plain.Enabled());
  EXPECT_EQ(plain.Caption(), L"");
  EXPECT_EQ(plain.ButtonCaptionALignment(), ui::taCenter);
  EXPECT_EQ(plain.TextOffset(), 20);
  EXPECT_EQ(plain.IconOffset(), 10);
  EXPECT_EQ(plain.TextTopOffset(), 0);
  EXPECT_TRUE(plain.IconVisible());
  EXPECT_EQ(plain.IconAlign(), ui::taRightJustify);
  EXPECT_EQ(plain.CheckBoxOffset(), 10);
  EXPECT_EQ(plain.DisabledFontColor(), ui::cl3DDkShadow);
  EXPECT_EQ(plain.SubCaptionOffset(), 50);
  EXPECT_EQ(plain.RiskRate(), 0);
  EXPECT_EQ(plain.RiskRateMax(), 5);
  EXPECT_EQ(plain.RiskRateMin(), L"Good");
  EXPECT_EQ(plain.RiskRateMid(), L"Medium");
  EXPECT_EQ(plain.RiskRateHig(), L"Bad");
  EXPECT_EQ(plain.CaptionDescFont(), ui::TFont());
  EXPECT_TRUE(plain.ImageNormal().Empty());
  EXPECT_FALSE(plain.Expand() || plain.ShowCheckBox() || plain.Checked() ||
               plain.CaptionDescVisible() || plain.CaptionIconVisible() ||
               plain.RiskRateVisible() || plain.MouseOver() || plain.UseDnIcons());
  EXPECT_EQ(plain.ButtonState(), skin::ibsNormal);
  EXPECT_EQ(plain.IconState(), skin::kIconNormal);
}

}  // namespace

// --- the keyboard -----------------------------------------------------------

TEST(ImageButtonKeyboard, APressByTheKeyboardShowsThePressedPictureWhereverThePointerIs) {
  Scene scene;
  TImageButton& button = *scene.button;
  button.SetImageNormal(SolidPicture(60, 30, 0, 0, 255, 255));
  button.SetImageDown(SolidPicture(60, 30, 0, 255, 0, 255));
  auto& mirror = ui::Create<TImageButton>(scene.form);
  mirror.SetBounds(100, 10, 60, 30);
  mirror.SetImageNormal(SolidPicture(60, 30, 0, 0, 255, 255));
  mirror.SetImageDown(SolidPicture(60, 30, 0, 255, 0, 255));
  mirror.SetParent(&scene.form);
  button.OnKeyboardPress = [&](ui::TComponent&, bool pressed) { mirror.SetKeyPressed(pressed); };
  int clicks = 0;
  button.OnClick = [&](ui::TComponent&) { ++clicks; };
  ASSERT_TRUE(scene.form.CreateHandle());
  ASSERT_TRUE(button.Focused());
  SendMessageW(scene.form.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(scene.Paint().Pixel(40, 25), 0x00FF00u);
  EXPECT_EQ(scene.Paint().Pixel(130, 25), 0x00FF00u) << "the linked button";
  SendMessageW(scene.form.Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(scene.Paint().Pixel(40, 25), 0x0000FFu);
  EXPECT_EQ(scene.Paint().Pixel(130, 25), 0x0000FFu);
  EXPECT_EQ(clicks, 1);
}

TEST(ImageButtonKeyboard, TheFocusRingGoesAroundAButtonInsideOneAtTheEdgeAndAroundALinksCaption) {
  constexpr std::uint32_t kRing = 0xB3E7FF;
  struct Case {
    const char* what;
    int left, top;
    bool pictures;
    std::vector<std::pair<int, int>> ring;   // pixels of the ring
    std::vector<std::pair<int, int>> clear;  // pixels it leaves alone
  };
  const std::vector<Case> cases = {
      // One pixel of the parent, then two of the ring, on every side.
      {"around",
       10,
       10,
       true,
       {{7, 25}, {8, 25}, {40, 7}, {40, 8}, {71, 25}, {72, 25}, {40, 42}},
       {{9, 25}, {6, 25}, {40, 9}, {11, 25}}},
      // At the window's corner there is no room: inside the edge.
      {"inside", 0, 0, true, {{1, 15}, {2, 15}, {30, 1}, {58, 15}}, {{0, 15}, {3, 15}}},
      // A link: around its caption's letters, starting five pixels before.
      {"link", 10, 10, false, {{5, 25}, {6, 25}}, {{4, 25}, {7, 25}, {69, 25}}},
  };
  for (const Case& c : cases) {
    Scene scene;
    TImageButton& button = *scene.button;
    button.SetBounds(c.left, c.top, 60, 30);
    if (c.pictures) {
      button.SetImageNormal(SolidPicture(60, 30, 0, 0, 255, 255));
    } else {
      button.SetCaption(L"Go");
      button.SetButtonCaptionALignment(ui::taLeftJustify);
      button.SetTextOffset(0);
    }
    ASSERT_TRUE(scene.form.CreateHandle());
    scene.form.Show();
    SetFocus(scene.form.Handle());
    SendMessageW(scene.form.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    const std::uint32_t hidden = scene.Paint().Pixel(c.ring[0].first, c.ring[0].second);
    EXPECT_NE(hidden, kRing) << c.what << ": shown while the cues are hidden";
    SendMessageW(scene.form.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    TestSurface& shot = scene.Paint();
    for (const auto& [x, y] : c.ring)
      EXPECT_EQ(shot.Pixel(x, y), kRing) << c.what << " " << x << "," << y;
    for (const auto& [x, y] : c.clear)
      EXPECT_NE(shot.Pixel(x, y), kRing) << c.what << " " << x << "," << y;
  }
}

TEST(ImageButtonKeyboard, TheRingsCornersAreSmoothAndItsEdgesWhole) {
  const ui::TPicture ring = skin::FocusRingPicture(40, 20, 6, 2, 0x00FFFFFF);
  const ui::TPngImage& image = *ring.Graphic();
  const auto alpha = [&](int x, int y) { return image.Pixel(x, y) >> 24; };
  // Straight edges: the two rows and columns full, nothing beyond them.
  for (int x = 8; x < 32; ++x) {
    EXPECT_EQ(alpha(x, 0), 255u);
    EXPECT_EQ(alpha(x, 1), 255u);
    EXPECT_EQ(alpha(x, 2), 0u);
  }
  EXPECT_EQ(alpha(0, 10), 255u);
  EXPECT_EQ(alpha(2, 10), 0u);
  EXPECT_EQ(alpha(20, 10), 0u);
  // The corner's outside is clear, its curve partly covered.
  EXPECT_EQ(alpha(0, 0), 0u);
  int partial = 0;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) partial += alpha(x, y) > 0 && alpha(x, y) < 255;
  }
  EXPECT_GT(partial, 3);
}
