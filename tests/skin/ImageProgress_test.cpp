// The picture progress bar: where its foreground items go for a Position,
// what it paints, when it lays itself out, and its shine animation with the
// thread that paces it.
#include "skin/ImageProgress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ImageItemFixture.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Form.h"
#include "ui/LayoutReader.h"
#include "ui/MessageWait.h"

#include "../ui/DebugOutputCapture.h"
#include "../ui/PngFixture.h"
#include "../ui/TestSurface.h"

namespace {

using skin::TImageItem;
using skin::TImageProgress;
using skintest::Place;
using uitest::SolidPicture;

// The item colours, as painted (0x00RRGGBB).
constexpr std::uint32_t kBgMiddle = 0x404040;
constexpr std::uint32_t kBgLeft = 0x0000FF;
constexpr std::uint32_t kBgRight = 0x000080;
constexpr std::uint32_t kBarMiddle = 0x00FF00;
constexpr std::uint32_t kBarLeft = 0xFF0000;
constexpr std::uint32_t kBarRight = 0xFFFF00;

using Runs = std::vector<std::pair<std::uint32_t, int>>;

// The main window's bar: 187 x 17, Min 0, Max 100, six items placed as its
// layout places them (caps 3 and 16 pixels wide), on a form of its own.
struct MainWindowBar {
  MainWindowBar() : bar(ui::Create<TImageProgress>(form)) {
    form.SetBounds(0, 0, 300, 60);
    bar.SetParent(&form);
    bar.SetBounds(0, 0, 187, 17);
    bar.SetColor(0x00120C0B);
    Add(L"bg_middle", SolidPicture(4, 16, 0x40, 0x40, 0x40), 3, 1000, ui::alNone, true);
    Add(L"bg_left", SolidPicture(3, 16, 0, 0, 0xFF), 0, 3, ui::alLeft, false);
    Add(L"bg_right", SolidPicture(4, 16, 0, 0, 0x80), 471, 4, ui::alRight, false);
    Add(L"bar_middle", SolidPicture(4, 16, 0, 0xFF, 0), 3, 84, ui::alNone, true);
    Add(L"bar_left", SolidPicture(3, 16, 0xFF, 0, 0), 0, 3, ui::alLeft, false);
    Add(L"bar_right", SolidPicture(16, 16, 0xFF, 0xFF, 0), 87, 16, ui::alNone, false);
    bar.SetMin(0);
    bar.SetMax(100);
  }
  void Add(const wchar_t* name, const ui::TPicture& picture, int left, int width, ui::TAlign align,
           bool stretch) {
    TImageItem& item = bar.Items().Add();
    item.SetName(name);
    item.SetPicture(picture);
    Place(item, left, 0, width, 16);
    item.SetAlign(align);
    item.SetStretch(stretch);
  }
  TImageItem& Item(int i) { return bar.Items().Items(i); }
  // The colours along one row of the painted bar, as runs.
  Runs Row(int y = 8) {
    uitest::TestSurface surface(bar.Width(), bar.Height());
    bar.PaintTo(surface.dc(), 0, 0);
    Runs runs;
    for (int x = 0; x < bar.Width(); ++x) {
      const std::uint32_t c = surface.Pixel(x, y);
      if (!runs.empty() && runs.back().first == c) {
        ++runs.back().second;
      } else {
        runs.push_back({c, 1});
      }
    }
    return runs;
  }
  // Left, width and visibility of every item.
  std::vector<int> AllItems() {
    std::vector<int> out;
    for (int i = 0; i < bar.Items().Count(); ++i) {
      out.insert(out.end(), {Item(i).Left(), Item(i).Width(), Item(i).Visible()});
    }
    return out;
  }
  // Left and width of the bar's middle and right cap.
  std::vector<int> Layout() {
    return {Item(3).Left(), Item(3).Width(), Item(5).Left(), Item(5).Width()};
  }

  ui::TForm form{L"TProgressTestForm"};
  TImageProgress& bar;
};

// The background alone: its middle runs from the left cap to the right one.
const Runs kEmptyBar = {{kBgLeft, 3}, {kBgMiddle, 180}, {kBgRight, 4}};

TEST(ImageProgress, PositionLaysOutTheMainWindowsBar) {
  struct Case {
    int position;
    std::vector<int> layout;  // middle left, width; right cap left, width
    int limit;
    Runs row;
  };
  const Case cases[] = {
      // 55 * 187 / 100 = 102.85, rounded up to 103.
      {55,
       {3, 84, 87, 16},
       103,
       {{kBarLeft, 3}, {kBarMiddle, 84}, {kBarRight, 16}, {kBgMiddle, 80}, {kBgRight, 4}}},
      // 1.87 rounds up to 2: narrower than the caps, which still show whole.
      {1, {3, 0, 3, 16}, 19, {{kBarLeft, 3}, {kBarRight, 16}, {kBgMiddle, 164}, {kBgRight, 4}}},
      {100, {3, 168, 171, 16}, 187, {{kBarLeft, 3}, {kBarMiddle, 168}, {kBarRight, 16}}},
      // Exactly 187 / 2 = 93.5 rounds up; an exact quotient stays.
      {50,
       {3, 75, 78, 16},
       94,
       {{kBarLeft, 3}, {kBarMiddle, 75}, {kBarRight, 16}, {kBgMiddle, 89}, {kBgRight, 4}}},
      // Above Max the bar grows past the control, which clips it.
      {150, {3, 262, 265, 16}, 281, {{kBarLeft, 3}, {kBarMiddle, 184}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    MainWindowBar b;
    b.bar.SetPosition(c.position);
    EXPECT_EQ(b.Layout(), c.layout);
    EXPECT_EQ(b.Item(4).Width(), 3);
    EXPECT_EQ(b.bar.AnimateLimit(), c.limit);
    EXPECT_EQ(b.Row(), c.row);
  }
}

TEST(ImageProgress, PositionAtMinHidesTheBarItems) {
  MainWindowBar b;
  b.bar.SetPosition(55);
  b.bar.SetPosition(0);
  for (int i : {3, 4, 5}) EXPECT_FALSE(b.Item(i).Visible()) << i;
  for (int i : {0, 1, 2}) EXPECT_TRUE(b.Item(i).Visible()) << i;
  EXPECT_EQ(b.Row(), kEmptyBar);
  // Min need not be 0: the bar is empty at Min, whatever it is.
  b.bar.SetMin(20);
  b.bar.SetPosition(20);
  EXPECT_FALSE(b.Item(3).Visible());
  b.bar.SetPosition(21);
  for (int i : {3, 4, 5}) EXPECT_TRUE(b.Item(i).Visible()) << i;
}

TEST(ImageProgress, PositionIsOnlyStoredWhenTheBarCannotBeLaidOut) {
  struct Case {
    const char* what;
    void (*arrange)(MainWindowBar&);
  };
  const Case cases[] = {
      {"Max = Min", [](MainWindowBar& b) { b.bar.SetMax(0); }},
      {"Max < Min", [](MainWindowBar& b) { b.bar.SetMin(100); }},
      {"five items", [](MainWindowBar& b) { b.bar.Items().Delete(5); }},
      {"no items", [](MainWindowBar& b) { b.bar.Items().Clear(); }},
      {"hidden", [](MainWindowBar& b) { b.bar.SetVisible(false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MainWindowBar b;
    b.bar.SetPosition(1);
    const int limit = b.bar.AnimateLimit();
    c.arrange(b);
    const std::vector<int> before = b.AllItems();
    b.bar.SetPosition(55);
    EXPECT_EQ(b.bar.Position(), 55);
    EXPECT_EQ(b.AllItems(), before);
    EXPECT_EQ(b.bar.AnimateLimit(), limit);
  }
}

TEST(ImageProgress, RangeChangesWaitForTheNextPosition) {
  MainWindowBar b;
  b.bar.SetPosition(55);
  b.bar.SetMax(200);
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 84, 87, 16}));
  b.bar.SetPosition(55);  // 51.425 rounds up to 52
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 33, 36, 16}));
  // Half of the widest range: the product of value and width exceeds 32
  // bits, and still gives half the bar (93.5 rounds up to 94).
  b.bar.SetMin(INT_MIN);
  b.bar.SetMax(INT_MAX);
  b.bar.SetPosition(0);
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 75, 78, 16}));
}

TEST(ImageProgress, ShowingAHiddenBarLaysOutWhatWasStored) {
  MainWindowBar b;
  ASSERT_TRUE(b.form.CreateHandle());
  ASSERT_TRUE(b.bar.HandleAllocated());
  b.bar.SetPosition(1);
  b.bar.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(b.bar.Handle()));
  b.bar.SetPosition(55);
  // Moving or sizing the hidden bar does not lay it out either.
  b.bar.SetBounds(0, 20, 187, 17);
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 0, 3, 16}));
  b.bar.SetVisible(true);
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 84, 87, 16}));
  EXPECT_EQ(b.Row()[1], (std::pair<std::uint32_t, int>{kBarMiddle, 84}));
}

TEST(ImageProgress, ResizingTheShownBarLaysItOutAgain) {
  MainWindowBar b;
  ASSERT_TRUE(b.form.CreateHandle());
  b.bar.SetPosition(55);
  // A resize by the system, not through the bar's own bounds.
  SetWindowPos(b.bar.Handle(), nullptr, 0, 0, 100, 17, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(b.bar.Width(), 100);
  EXPECT_EQ(b.Layout(), (std::vector<int>{3, 36, 39, 16}));  // 55 of 100 pixels
}

TEST(ImageProgress, PositionRepaintsTheShownBarAtOnce) {
  MainWindowBar b;
  b.form.Show();
  // What the bar's window shows, without handling any message first.
  auto shown = [&](int x) {
    uitest::TestSurface surface(187, 17);
    HDC window = GetDC(b.bar.Handle());
    BitBlt(surface.dc(), 0, 0, 187, 17, window, 0, 0, SRCCOPY);
    ReleaseDC(b.bar.Handle(), window);
    return surface.Pixel(x, 8);
  };
  b.bar.SetPosition(55);
  EXPECT_EQ(shown(50), kBarMiddle);
  EXPECT_EQ(shown(95), kBarRight);
  b.bar.SetPosition(1);
  EXPECT_EQ(shown(10), kBarRight);
  EXPECT_EQ(shown(50), kBgMiddle);
}

TEST(ImageProgress, NewBarHasItsDefaults) {
  TImageProgress bar;
  EXPECT_EQ(bar.Max(), 0);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_TRUE(bar.Visible());
  EXPECT_FALSE(bar.OpenAnimate());
  EXPECT_TRUE(bar.MoveImage().Empty());
  EXPECT_EQ(bar.AnimateTop(), 11);
  EXPECT_FALSE(bar.AlwaysAnimate());
  EXPECT_EQ(bar.AnimateRightOffset(), 0);
  EXPECT_EQ(bar.AnimateLimit(), 0);
  EXPECT_TRUE(bar.DoubleBuffered());
  EXPECT_EQ(bar.AnimateThread(), nullptr);
  EXPECT_EQ(bar.BoundsRect(), ui::Bounds(0, 0, 105, 105));
  EXPECT_EQ(bar.Items().Count(), 0);

  ui::TImage* shine = bar.MoveImageControl();
  ASSERT_NE(shine, nullptr);
  EXPECT_EQ(shine->Name(), L"MoveImage");
  EXPECT_EQ(bar.FindComponent(L"MoveImage"), shine);
  EXPECT_EQ(shine->Parent(), &bar);
  EXPECT_FALSE(shine->Visible());
  EXPECT_EQ(shine->BoundsRect(), ui::Bounds(0, 11, 0, 105));
}

TEST(ImageProgress, ShinePropertiesReachTheShine) {
  TImageProgress bar;
  const ui::TPicture picture = SolidPicture(5, 3, 1, 2, 3);
  bar.SetMoveImage(picture);
  EXPECT_EQ(bar.MoveImageControl()->Picture().Width(), 5);
  EXPECT_EQ(bar.MoveImage().Height(), 3);
  bar.SetAnimateTop(4);
  EXPECT_EQ(bar.MoveImageControl()->Top(), 4);
  // Only a different value moves the shine.
  bar.MoveImageControl()->SetTop(7);
  bar.SetAnimateTop(4);
  EXPECT_EQ(bar.MoveImageControl()->Top(), 7);
}

TEST(ImageProgress, ShinePaintsOverTheItemsCutToItsWidth) {
  MainWindowBar b;
  b.bar.SetPosition(55);
  b.bar.SetMoveImage(SolidPicture(40, 6, 0xFF, 0xFF, 0xFF));
  b.bar.SetAnimateTop(5);
  ui::TImage& shine = *b.bar.MoveImageControl();
  shine.SetBounds(10, 5, 20, 17);
  shine.SetVisible(true);
  const Runs expected = {{kBarLeft, 3},   {kBarMiddle, 7}, {0xFFFFFF, 20}, {kBarMiddle, 57},
                         {kBarRight, 16}, {kBgMiddle, 80}, {kBgRight, 4}};
  EXPECT_EQ(b.Row(8), expected);
  EXPECT_EQ(b.Row(12)[1], (std::pair<std::uint32_t, int>{kBarMiddle, 84}));
}

// The shine's left and width after each step.
std::vector<std::pair<int, int>> Steps(TImageProgress& bar, int count) {
  std::vector<std::pair<int, int>> out;
  for (int i = 0; i < count; ++i) {
    bar.AnimateStep();
    out.push_back({bar.MoveImageControl()->Left(), bar.MoveImageControl()->Width()});
  }
  return out;
}

TEST(ImageProgress, ShineCrossesTheFilledPartThenRests) {
  MainWindowBar b;
  b.bar.SetPosition(55);  // right limit 103
  ui::TImage& shine = *b.bar.MoveImageControl();
  // Each step moves it 10 pixels; it reaches 10 pixels short of the limit.
  const std::vector<std::pair<int, int>> pass = {
      {10, 83}, {20, 73}, {30, 63}, {40, 53}, {50, 43}, {60, 33}, {70, 23}, {80, 13}, {90, 3},
  };
  EXPECT_EQ(Steps(b.bar, 9), pass);
  EXPECT_EQ(shine.Height(), 17);
  EXPECT_FALSE(shine.Visible());  // the first pass runs hidden
  // Past the limit its width runs out; then it wraps around and rests.
  EXPECT_FALSE(b.bar.AnimateStep());
  EXPECT_FALSE(b.bar.AnimateStep());
  EXPECT_TRUE(b.bar.AnimateStep());
  EXPECT_EQ(shine.Left(), -50);
  EXPECT_EQ(shine.Width(), 0);
  EXPECT_FALSE(shine.Visible());
  b.bar.ResumeAnimation();
  EXPECT_TRUE(shine.Visible());
  EXPECT_EQ(Steps(b.bar, 1), (std::vector<std::pair<int, int>>{{-40, 133}}));
}

TEST(ImageProgress, ShineRestartsAfterItsRestOnlyBelowMaxOrWhenAlwaysOn) {
  struct Case {
    int position;
    bool always;
    bool shows;
  };
  const Case cases[] = {
      {55, false, true}, {100, false, false}, {100, true, true}, {120, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position * 10 + c.always);
    MainWindowBar b;
    b.bar.SetPosition(c.position);
    b.bar.SetAlwaysAnimate(c.always);
    while (!b.bar.AnimateStep()) {
    }
    b.bar.ResumeAnimation();
    EXPECT_EQ(b.bar.MoveImageControl()->Visible(), c.shows);
  }
}

TEST(ImageProgress, ShineStaysEmptyAtPositionZero) {
  MainWindowBar b;
  b.bar.SetPosition(55);
  Steps(b.bar, 3);
  b.bar.SetPosition(0);
  for (const auto& [left, width] : Steps(b.bar, 5)) {
    EXPECT_EQ(left, 30);
    EXPECT_EQ(width, 0);
  }
}

TEST(ImageProgress, ShineMeetingAShrunkenLimitReportsWhereItStands) {
  MainWindowBar b;
  b.bar.SetPosition(100);  // limit 187
  Steps(b.bar, 9);         // left 90, reaching to 177
  b.bar.SetPosition(55);   // the limit falls to 103, inside the shine
  uitest::DebugOutputCapture capture;
  EXPECT_EQ(Steps(b.bar, 1), (std::vector<std::pair<int, int>>{{90, -7}}));
  const std::vector<std::wstring> expected = {L"Items[Ord(fg_right)].Left: 87",
                                              L"****** FMoveImage.Left: 90",
                                              L"****** FMoveImage.Width: -7"};
  EXPECT_EQ(capture.Lines(), expected);
}

// --- The animation thread -------------------------------------------------

// Handles messages until done() or a generous limit; answers done().
bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  ui::ProcessMessagesUntil([&] { return done() || std::chrono::steady_clock::now() > end; });
  return done();
}

struct AnimatedBar : MainWindowBar {
  AnimatedBar() {
    EXPECT_TRUE(form.CreateHandle());
    bar.SetPosition(55);
  }
  int ShineLeft() { return bar.MoveImageControl()->Left(); }
};

TEST(ImageProgress, AnimationMovesTheShineOnTheWindowsThread) {
  AnimatedBar b;
  b.bar.SetOpenAnimate(true);
  ASSERT_NE(b.bar.AnimateThread(), nullptr);
  EXPECT_TRUE(b.bar.OpenAnimate());
  EXPECT_TRUE(b.bar.AnimateThread()->Running());
  EXPECT_EQ(b.bar.AnimateThread()->Window(), b.bar.Handle());
  EXPECT_TRUE(PumpUntil([&] { return b.ShineLeft() >= 30; }));
  // Through a whole pass and its rest the shine comes back, now showing.
  EXPECT_TRUE(PumpUntil([&] { return b.ShineLeft() == -50; }));
  EXPECT_TRUE(PumpUntil([&] { return b.bar.MoveImageControl()->Visible(); }));
}

TEST(ImageProgress, SwitchingTheAnimationOnTwiceKeepsOneThread) {
  AnimatedBar b;
  b.bar.SetOpenAnimate(true);
  const skin::TAnimateThread* thread = b.bar.AnimateThread();
  const DWORD threadId = thread->ThreadId();
  // The thread follows the bar's window as it goes and comes back.
  b.bar.DestroyHandle();
  EXPECT_EQ(b.bar.AnimateThread()->Window(), nullptr);
  ASSERT_TRUE(b.bar.HandleNeeded());
  EXPECT_EQ(b.bar.AnimateThread()->Window(), b.bar.Handle());
  b.bar.SetOpenAnimate(true);
  ASSERT_TRUE(b.bar.HandleAllocated());
  EXPECT_EQ(b.bar.AnimateThread(), thread);
  EXPECT_EQ(b.bar.AnimateThread()->ThreadId(), threadId);
  EXPECT_EQ(b.bar.AnimateThread()->Window(), b.bar.Handle());
  const int left = b.ShineLeft();
  EXPECT_TRUE(PumpUntil([&] { return b.ShineLeft() != left; }));
}

// A thread that is gone altogether has ended too.
bool ThreadEnded(DWORD id) {
  ui::UniqueKernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, id));
  return !thread || WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
}

TEST(ImageProgress, SwitchingTheAnimationOffEndsItsThread) {
  AnimatedBar b;
  // With no thread there is nothing to stop.
  b.bar.SetOpenAnimate(false);
  EXPECT_EQ(b.bar.AnimateThread(), nullptr);
  EXPECT_FALSE(b.bar.OpenAnimate());

  b.bar.SetOpenAnimate(true);
  EXPECT_TRUE(PumpUntil([&] { return b.ShineLeft() >= 20; }));
  const DWORD threadId = b.bar.AnimateThread()->ThreadId();
  b.bar.SetOpenAnimate(false);
  EXPECT_EQ(b.bar.AnimateThread(), nullptr);
  // The thread has ended, not merely been forgotten.
  EXPECT_TRUE(ThreadEnded(threadId));
  const int left = b.ShineLeft();
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(b.ShineLeft(), left);
}

// Waits, without handling any message, until another thread has sent this
// thread a message that waits to be served.
bool SentMessageWaits() {
  for (int i = 0; i < 500; ++i) {
    if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return true;
    Sleep(10);
  }
  return false;
}

TEST(ImageProgress, StoppingWhileAStepIsHandedOverServesThatStep) {
  AnimatedBar b;
  b.bar.SetOpenAnimate(true);
  // The window's thread is busy: the step waits for it, and so does the
  // animation thread.
  ASSERT_TRUE(SentMessageWaits());
  EXPECT_EQ(b.ShineLeft(), 0);
  b.bar.SetOpenAnimate(false);
  EXPECT_EQ(b.bar.AnimateThread(), nullptr);
  EXPECT_EQ(b.ShineLeft(), 10);  // the waiting step ran, and no other
}

TEST(ImageProgress, StoppingDuringTheRestAfterAPassEndsAtOnce) {
  AnimatedBar b;
  b.bar.SetOpenAnimate(true);
  ASSERT_TRUE(PumpUntil([&] { return b.ShineLeft() == -50; }));
  const auto start = std::chrono::steady_clock::now();
  b.bar.SetOpenAnimate(false);
  // The rest lasts a second; the stop does not wait for it.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_FALSE(b.bar.MoveImageControl()->Visible());
}

TEST(ImageProgress, StoppingFromInsideAStepDoesNotWaitForItself) {
  AnimatedBar b;
  bool stopped = false;
  b.bar.MoveImageControl()->OnResize = [&](ui::TComponent&) {
    if (stopped) return;
    stopped = true;
    b.bar.SetOpenAnimate(false);
  };
  b.bar.SetOpenAnimate(true);
  EXPECT_TRUE(PumpUntil([&] { return stopped; }));
  EXPECT_EQ(b.bar.AnimateThread(), nullptr);
}

TEST(ImageProgress, DestroyingAnAnimatedBarServesTheWaitingStepAndEndsItsThread) {
  AnimatedBar b;
  b.bar.SetOpenAnimate(true);
  ASSERT_TRUE(SentMessageWaits());
  const DWORD threadId = b.bar.AnimateThread()->ThreadId();
  const HWND window = b.bar.Handle();
  // The bar alone goes, its window with a step waiting for it: the step is
  // served while the thread ends, and finds no shine to move.
  b.form.RemoveComponent(b.bar).reset();
  EXPECT_TRUE(ThreadEnded(threadId));
  EXPECT_FALSE(IsWindow(window));
}

int CountChildWindows(HWND parent, const wchar_t* className) {
  struct Count {
    const wchar_t* className;
    int n = 0;
  } count{className};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto& c = *reinterpret_cast<Count*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        c.n += std::wstring(name) == c.className;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

TEST(ImageProgress, AnimatingABarWithoutAWindowGivesItOneWindow) {
  MainWindowBar b;
  ASSERT_FALSE(b.form.HandleAllocated());
  b.bar.SetOpenAnimate(true);
  ASSERT_TRUE(b.form.HandleAllocated());
  ASSERT_TRUE(b.bar.HandleAllocated());
  EXPECT_EQ(CountChildWindows(b.form.Handle(), L"TImageProgress"), 1);
  EXPECT_EQ(GetParent(b.bar.Handle()), b.form.Handle());
  EXPECT_EQ(b.bar.AnimateThread()->Window(), b.bar.Handle());
}

// A layout value of a stored picture: its class name, then the PNG bytes.
std::string StoredPicture(const std::vector<std::uint8_t>& png) {
  std::string hex = "0954506E67496D616765";
  char digits[3];
  for (std::uint8_t byte : png) {
    std::snprintf(digits, sizeof digits, "%02X", byte);
    hex += digits;
  }
  return hex;
}

TEST(ImageProgress, LayoutSetsEveryPropertyByName) {
  skin::RegisterSkinLayoutClasses();
  std::vector<std::uint8_t> rgba(2 * 3 * 4, 0xFF);
  const std::string png = StoredPicture(uitest::EncodePng(PNG_FORMAT_RGBA, 2, 3, rgba.data()));
  const std::string layout =
      "TProgressLayoutForm f { TImageProgress imgProgress {\n"
      "  Width = 187  Height = 17  Min = 5  Max = 50  Position = 7\n"
      "  visible = false  AnimateTop = 9  AlwaysAnimate = true\n"
      "  AnimateRightOffset = -4  OpenAnimate = false\n"
      "  MoveImage = data \"" +
      png + "\"\n} }";
  ui::TForm form(L"TProgressLayoutForm");
  ui::ReadLayout(form, layout, ui::THandlerTable{});
  auto* bar = dynamic_cast<TImageProgress*>(form.FindComponent(L"imgProgress"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Min(), 5);
  EXPECT_EQ(bar->Max(), 50);
  EXPECT_EQ(bar->Position(), 7);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(bar->AnimateTop(), 9);
  EXPECT_TRUE(bar->AlwaysAnimate());
  EXPECT_EQ(bar->AnimateRightOffset(), -4);
  EXPECT_FALSE(bar->OpenAnimate());
  EXPECT_EQ(bar->MoveImage().Width(), 2);
  EXPECT_EQ(bar->MoveImage().Height(), 3);
}

}  // namespace
