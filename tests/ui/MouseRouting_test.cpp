// Mouse routing of the window-less host, driven by synthesized messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Form.h"

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

TEST(MouseRouting, DoubleClickFollowsTheFirstClick) {
  Host host;
  host.Add(L"A", 10, 10, 20, 20);
  host.Move(15, 15);
  host.Take();
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  host.Send(WM_LBUTTONDBLCLK, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  EXPECT_EQ(host.Take(), (Log{L"down0@5,5 A", L"click A", L"up0@5,5 A", L"dblclick A",
                              L"down0d@5,5 A", L"click A", L"up0@5,5 A"}));
}

TEST(MouseRouting, DisabledControlHearsEntryAndExitOnly) {
  Host host;
  auto& below = host.Add(L"Below", 0, 0, 100, 100);
  auto& a = host.Add(L"A", 10, 10, 20, 20);
  a.SetEnabled(false);
  host.Move(15, 15);
  host.Send(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 15, 15);
  host.Move(60, 60);
  // The presses reach the enabled control beneath instead.
  EXPECT_EQ(host.Take(),
            (Log{L"enter A", L"move@15,15 Below", L"down0@15,15 Below", L"click Below",
                 L"up0@15,15 Below", L"leave A", L"enter Below", L"move@60,60 Below"}));
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
