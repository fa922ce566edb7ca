// The form's keyboard, driven by key messages sent to its window: the Tab
// order, the focus passing on, the press by Enter and Space, Esc, and when
// the focus cue shows.
#include "ui/KeyboardFocus.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Form.h"

namespace {

using Log = std::vector<std::wstring>;

class Host {
 public:
  Host() : form(L"TKeyboardFocusTestForm") { form.SetClientSize(200, 100); }

  // A window-less tab stop that logs its presses and clicks.
  ui::TGraphicControl& Add(const std::wstring& name, bool tabStop = true) {
    auto& c = ui::Create<ui::TGraphicControl>(form);
    c.SetName(name);
    c.SetBounds(10 * static_cast<int>(form.ControlCount()), 10, 10, 10);
    c.SetTabStop(tabStop);
    c.SetParent(&form);
    c.OnClick = [this](ui::TComponent& s) { log.push_back(L"click " + s.Name()); };
    c.OnKeyboardPress = [this](ui::TComponent& s, bool pressed) {
      log.push_back((pressed ? L"press " : L"release ") + s.Name());
    };
    return c;
  }

  void Create() { ASSERT_TRUE(form.CreateHandle()); }
  // Only a window that shows can have the system's focus.
  void ShowWithFocus() {
    Create();
    form.Show();
    SetFocus(form.Handle());
  }
  void Key(UINT message, WPARAM key, bool repeat = false) {
    SendMessageW(form.Handle(), message, key, repeat ? (LPARAM{1} << 30) : 0);
  }
  void Press(WPARAM key) {
    Key(WM_KEYDOWN, key);
    Key(WM_KEYUP, key);
  }
  void ShiftTab() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Press(VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  std::wstring Focused() const {
    const ui::TControl* c = form.Keyboard().Focused();
    return c != nullptr ? c->Name() : L"none";
  }
  Log Take() { return std::exchange(log, {}); }

  ui::TForm form;
  Log log;
};

TEST(KeyboardFocus, TabFollowsThePlacingOrderPastWhatCannotTakeTheFocusAndWraps) {
  Host host;
  auto& a = host.Add(L"A");
  host.Add(L"B").SetEnabled(false);
  host.Add(L"C").SetVisible(false);
  host.Add(L"D", false);
  auto& e = host.Add(L"E");
  // The z-order is not the Tab order.
  e.SendToBack();
  a.BringToFront();
  host.Create();
  EXPECT_EQ(host.Focused(), L"A");
  const std::vector<std::pair<bool, std::wstring>> steps = {
      {true, L"E"}, {true, L"A"}, {false, L"E"}, {false, L"A"}};
  for (const auto& [forward, wanted] : steps) {
    forward ? host.Press(VK_TAB) : host.ShiftTab();
    EXPECT_EQ(host.Focused(), wanted);
  }
  EXPECT_TRUE(host.Take().empty());
}

TEST(KeyboardFocus, AControlThatCanNoLongerTakeTheFocusPassesItOn) {
  Host host;
  auto& a = host.Add(L"A");
  auto& b = host.Add(L"B");
  auto& c = host.Add(L"C");
  host.Create();
  ASSERT_TRUE(b.SetFocus());
  b.SetEnabled(false);
  EXPECT_EQ(host.Focused(), L"C");
  c.SetVisible(false);
  EXPECT_EQ(host.Focused(), L"A");
  a.SetTabStop(false);
  EXPECT_EQ(host.Focused(), L"none");
  EXPECT_FALSE(b.SetFocus());
  b.SetEnabled(true);
  EXPECT_EQ(host.Focused(), L"B");
}

TEST(KeyboardFocus, EnterAndSpacePressWhileDownAndClickWhenTheyComeUp) {
  Host host;
  host.Add(L"A");
  host.Add(L"B");
  host.Create();
  for (WPARAM key : {VK_SPACE, VK_RETURN}) {
    host.Key(WM_KEYDOWN, key);
    host.Key(WM_KEYDOWN, key, true);  // held: the repeats press nothing more
    EXPECT_EQ(host.Take(), Log{L"press A"});
    host.Key(WM_KEYUP, key == VK_SPACE ? VK_RETURN : VK_SPACE);  // another key
    EXPECT_TRUE(host.Take().empty());
    host.Key(WM_KEYUP, key);
    EXPECT_EQ(host.Take(), (Log{L"release A", L"click A"}));
  }
  // Moving on, or losing the window's focus, abandons a press: no click.
  host.Key(WM_KEYDOWN, VK_SPACE);
  host.Press(VK_TAB);
  host.Key(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(host.Take(), (Log{L"press A", L"release A"}));
  host.Key(WM_KEYDOWN, VK_RETURN);
  SendMessageW(host.form.Handle(), WM_KILLFOCUS, 0, 0);
  host.Key(WM_KEYUP, VK_RETURN);
  EXPECT_EQ(host.Take(), (Log{L"press B", L"release B"}));
}

TEST(KeyboardFocus, EscClicksTheCancelControlWhileItIsEnabled) {
  Host host;
  host.Add(L"A");
  auto& cancel = host.Add(L"Cancel", false);
  host.Create();
  host.Press(VK_ESCAPE);
  EXPECT_TRUE(host.Take().empty());
  host.form.Keyboard().SetCancelControl(&cancel);
  host.Press(VK_ESCAPE);
  EXPECT_EQ(host.Take(), Log{L"click Cancel"});
  cancel.SetEnabled(false);
  host.Press(VK_ESCAPE);
  EXPECT_TRUE(host.Take().empty());
}

TEST(KeyboardFocus, TheCueIsHiddenUntilTheKeyboardMovesTheFocusAndFollowsTheUiState) {
  Host host;
  auto& a = host.Add(L"A");
  host.ShowWithFocus();
  BOOL alwaysShown = FALSE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
  const HWND window = host.form.Handle();
  if (!alwaysShown) {
    EXPECT_TRUE(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    EXPECT_EQ(host.form.Keyboard().CueToPaint(), nullptr);
    // Enter and Space press without showing it.
    host.Press(VK_SPACE);
    EXPECT_EQ(host.form.Keyboard().CueToPaint(), nullptr);
  }
  host.Press(VK_TAB);
  EXPECT_FALSE(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
  EXPECT_EQ(host.form.Keyboard().CueToPaint(), &a);
  // Others may hide it again through the system's protocol.
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(host.form.Keyboard().CueToPaint(), nullptr);
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(host.form.Keyboard().CueToPaint(), &a);
  // Only while the window has the system's focus.
  SetFocus(nullptr);
  EXPECT_EQ(host.form.Keyboard().CueToPaint(), nullptr);
}

TEST(KeyboardFocus, AMousePressGivesATabStopTheFocusWithoutShowingTheCue) {
  Host host;
  host.Add(L"A");
  host.Add(L"B");
  host.Add(L"C", false);
  host.Create();
  // B, then C, which is no tab stop and leaves the focus where it was.
  for (const auto& [x, wanted] : {std::pair{15, L"B"}, std::pair{25, L"B"}}) {
    SendMessageW(host.form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 15));
    SendMessageW(host.form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, 15));
    EXPECT_EQ(host.Focused(), wanted);
  }
  BOOL alwaysShown = FALSE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
  if (!alwaysShown) {
    EXPECT_EQ(host.form.Keyboard().CueToPaint(), nullptr);
  }
}

}  // namespace
