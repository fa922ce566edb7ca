// Mouse routing of the window-less host, driven by synthesized messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Screen.h"

namespace {

using Log = std::vector<std::wstring>;

class Host {
 public:
  Host() : form(L"TMouseRoutingTestForm") {
    form.SetClientSize(200, 100);
    EXPECT_TRUE(form.CreateHandle());
  }

  ui::TGraphicControl& Add(const std::wstring& name, int left, int top, int w, int h) {
    auto& c = ui::Create<ui::TGraphicControl>(form);
    c.SetName(name);
    c.SetBounds(left, top, w, h);
    c.SetParent(&form);
    auto say = [this](ui::TComponent& s, const std::wstring& what) {
      log.push_back(what + L" " + s.Name());
    };
    c.OnMouseEnter = [=](ui::TComponent& s) { say(s, L"enter"); };
    c.OnMouseLeave = [=](ui::TComponent& s) { say(s, L"leave"); };
    c.OnClick = [=](ui::TComponent& s) { say(s, L"click"); };
    c.OnDblClick = [=](ui::TComponent& s) { say(s, L"dblclick"); };
    c.OnMouseDown = [=](ui::TComponent& s, ui::TMouseButton b, ui::TShiftState shift, int x,
                        int y) {
      say(s, L"down" + std::to_wstring(b) + (shift & ui::ssDouble ? L"d" : L"") + L"@" +
                 std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    c.OnMouseUp = [=](ui::TComponent& s, ui::TMouseButton b, ui::TShiftState, int x, int y) {
      say(s, L"up" + std::to_wstring(b) + L"@" + std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    c.OnMouseMove = [=](ui::TComponent& s, ui::TShiftState, int x, int y) {
      say(s, L"move@" + std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    return c;
  }

  void Send(UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageW(form.Handle(), message, keys, MAKELPARAM(x, y));
  }
  void Move(int x, int y, WPARAM keys = 0) { Send(WM_MOUSEMOVE, x, y, keys); }
  Log Take() { return std::exchange(log, {}); }

  ui::TForm form;
  Log log;
};

TEST(MouseRouting, EntryAndExitFollowThePointer) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Add(L"B", 50, 10, 20, 20);
  host.Move(15, 15);
  host.Move(55, 12);
  host.Move(100, 80);
  EXPECT_EQ(host.Take(),
            (Log{L"enter A", L"move@5,5 A", L"leave A", L"enter B", L"move@5,2 B", L"leave B"}));
  host.Move(55, 12);
  host.Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(host.Take(), (Log{L"enter B", L"move@5,2 B", L"leave B"}));
}

TEST(MouseRouting, PressAndReleaseInsideGiveDownClickUpWithCaptureBetween) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Move(15, 15);
  host.Take();
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), host.form.Handle());
  host.Send(WM_LBUTTONUP, 16, 17);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(host.Take(), (Log{L"down0@5,5 A", L"click A", L"up0@6,7 A"}));
}

TEST(MouseRouting, HeldPressFollowsThePointerOutsideAndReleaseThereGivesNoClick) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Add(L"B", 50, 10, 20, 20);
  host.Move(15, 15);
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Take();
  // Over B while A holds the mouse: B hears of entry, A gets the moves.
  host.Move(55, 15, MK_LBUTTON);
  host.Move(15, 15, MK_LBUTTON);
  host.Move(55, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 55, 15);
  EXPECT_EQ(host.Take(),
            (Log{L"leave A", L"enter B", L"move@45,5 A", L"leave B", L"enter A", L"move@5,5 A",
                 L"leave A", L"enter B", L"move@45,5 A", L"up0@45,5 A"}));
}

TEST(MouseRouting, RightButtonPressesButNeverClicks) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Move(15, 15);
  host.Take();
  host.Send(WM_RBUTTONDOWN, 15, 15, MK_RBUTTON);
  host.Send(WM_RBUTTONUP, 15, 15);
  EXPECT_EQ(host.Take(), (Log{L"down1@5,5 A", L"up1@5,5 A"}));
}

TEST(MouseRouting, DoubleClickGivesOneClickThenTheDoubleClickAndItsOwnRelease) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Move(15, 15);
  host.Take();
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  host.Send(WM_LBUTTONDBLCLK, 15, 15, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), host.form.Handle());
  host.Send(WM_LBUTTONUP, 15, 15);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(host.Take(), (Log{L"down0@5,5 A", L"click A", L"up0@5,5 A", L"dblclick A",
                              L"down0d@5,5 A", L"up0@5,5 A"}));
}

// The main window runs a whole job inside a click, pumping messages; the
// user may press and release again meanwhile, on the same control or
// another one. Each press must get its own release, the outer one included.
TEST(MouseRouting, PressesInsideANestedLoopOfAClickEachGetTheirOwnRelease) {
  struct Case {
    int x, y;  // where the press inside the loop lands
    Log expected;
  };
  const Case cases[] = {
      {55,
       15,
       {L"down0@5,5 A", L"click A", L"leave A", L"enter B", L"down0@5,5 B", L"click B",
        L"up0@5,5 B", L"up0@5,5 A"}},
      {16,
       16,
       {L"down0@5,5 A", L"click A", L"down0@6,6 A", L"click A", L"up0@6,6 A", L"up0@5,5 A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    Host host;
    auto& a = host.Add(L"A", 10, 10, 20, 20);
    host.Add(L"B", 50, 10, 20, 20);
    int depth = 0;
    a.OnClick = [&](ui::TComponent&) {
      host.log.push_back(L"click A");
      if (depth++ > 0) return;
      PostMessageW(host.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
      PostMessageW(host.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
      MSG msg{};
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    host.Move(15, 15);
    host.Take();
    host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    host.Send(WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(host.Take(), c.expected);
    EXPECT_EQ(GetCapture(), nullptr);
    // The pointer is where the nested loop last saw it, so the next press
    // there starts afresh.
    host.Send(WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
    host.Send(WM_LBUTTONUP, c.x, c.y);
    const Log again = host.Take();
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[1].substr(0, 5), L"click");
  }
}

TEST(MouseRouting, DisabledControlHearsEntryAndExitOnlyAndHidesWhatLiesBeneath) {
  Host host;
  auto& below = host.Add(L"Below", 0, 0, 100, 100);
  auto& a = host.Add(L"A", 10, 10, 20, 20);
  a.SetEnabled(false);
  host.Move(15, 15);
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  host.Move(60, 60);
  // A greyed link over a large button: the press ends on the link, and the
  // button beneath neither hears it nor is hovered through it.
  EXPECT_EQ(host.Take(), (Log{L"enter A", L"leave A", L"enter Below", L"move@60,60 Below"}));

  // Nor does it show its hand while it can do nothing.
  a.SetCursor(ui::crHandPoint);
  below.SetCursor(ui::crHandPoint);
  host.form.Show();
  const auto cursorOver = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(host.form.Handle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(host.form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(host.form.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const HCURSOR hand = ui::ScreenCursor(ui::crHandPoint);
  EXPECT_EQ(cursorOver(60, 60), hand);
  EXPECT_NE(cursorOver(15, 15), hand);
  host.Take();

  below.SetEnabled(false);
  host.Send(WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(host.Take(), Log{});
}

TEST(MouseRouting, TheTopmostControlTakesThePressAndBringToFrontChangesIt) {
  Host host;
  auto& a = host.Add(L"A", 10, 10, 40, 40);
  host.Add(L"B", 30, 30, 40, 40);
  host.Move(35, 35);
  host.Send(WM_LBUTTONDOWN, 35, 35, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 35, 35);
  a.BringToFront();
  host.Move(36, 36);
  host.Send(WM_LBUTTONDOWN, 36, 36, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 36, 36);
  EXPECT_EQ(host.Take(),
            (Log{L"enter B", L"move@5,5 B", L"down0@5,5 B", L"click B", L"up0@5,5 B", L"leave B",
                 L"enter A", L"move@26,26 A", L"down0@26,26 A", L"click A", L"up0@26,26 A"}));
}

TEST(MouseRouting, LosingTheCaptureCancelsTheClick) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Move(15, 15);
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Take();
  // A handler hands the mouse to the system (a window move, say).
  ReleaseCapture();
  host.Send(WM_LBUTTONUP, 15, 15);
  EXPECT_EQ(host.Take(), (Log{L"up0@5,5 A"}));
}

// Storage for a control that a test frees from its own event handler. The
// freed bytes are overwritten, so that any later touch of the control
// crashes the test instead of reading stale but plausible values.
template <typename T>
class PoisonedSlot {
 public:
  T& Make() { return *new (storage_) T(); }
  void Free() {
    std::launder(reinterpret_cast<T*>(storage_))->~T();
    std::memset(storage_, 0xCD, sizeof storage_);
  }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

TEST(MouseRouting, ControlFreedByItsOwnClickOrDoubleClickIsNotTouchedAgain) {
  struct Case {
    const char* name;
    bool windowed;
    bool byDoubleClick;
  };
  const Case cases[] = {{"window-less, double-click", false, true},
                        {"windowed, click", true, false},
                        {"windowed, double-click", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host host;
    PoisonedSlot<ui::TGraphicControl> graphic;
    PoisonedSlot<ui::TCustomControl> windowed;
    ui::TControl& control = c.windowed ? static_cast<ui::TControl&>(windowed.Make())
                                       : static_cast<ui::TControl&>(graphic.Make());
    control.SetBounds(10, 10, 20, 20);
    control.SetParent(&host.form);
    int events = 0;
    ui::TNotifyEvent free = [&](ui::TComponent&) {
      ++events;
      c.windowed ? windowed.Free() : graphic.Free();
    };
    (c.byDoubleClick ? control.OnDblClick : control.OnClick) = free;
    // The window-less control hears its parent's messages, at parent points.
    HWND window = c.windowed ? static_cast<ui::TWinControl&>(control).Handle() : host.form.Handle();
    const LPARAM at = c.windowed ? MAKELPARAM(5, 5) : MAKELPARAM(15, 15);
    ASSERT_NE(window, nullptr);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    if (c.byDoubleClick) {
      SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      if (IsWindow(window)) SendMessageW(window, WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(events, 1);
    EXPECT_EQ(host.form.ControlCount(), 0);
    EXPECT_EQ(IsWindow(window) != FALSE, !c.windowed);
    host.Move(16, 16);
  }
}

TEST(MouseRouting, ControlFreedByItsClickHearsNothingMore) {
  Host host;
  auto& a = host.Add(L"A", 10, 10, 20, 20);
  a.OnClick = [&](ui::TComponent& s) { host.form.RemoveComponent(s); };
  host.Move(15, 15);
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  host.Move(16, 16);
  EXPECT_EQ(host.Take(), (Log{L"enter A", L"move@5,5 A", L"down0@5,5 A"}));
  EXPECT_EQ(host.form.ControlCount(), 0);
}

}  // namespace
