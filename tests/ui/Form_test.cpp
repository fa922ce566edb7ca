// The form's own window: class, size, place, outline, and its life events.
#include "ui/Form.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "ui/Screen.h"

namespace {

TEST(Form, WindowCarriesTheFormsClassCaptionAndSizeCentred) {
  ui::TForm form(L"TFormWindowTestForm");
  form.SetCaption(L"Title");
  form.SetClientSize(300, 200);
  ASSERT_TRUE(form.CreateHandle());
  wchar_t className[64] = {};
  GetClassNameW(form.Handle(), className, 64);
  EXPECT_STREQ(className, L"TFormWindowTestForm");
  wchar_t caption[64] = {};
  GetWindowTextW(form.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Title");
  RECT client{};
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_TRUE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

  RECT work{}, window{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form.Handle(), &window);
  EXPECT_NEAR(window.left - work.left, (work.right - work.left - 300) / 2, 1);
  EXPECT_NEAR(window.top - work.top, (work.bottom - work.top - 200) / 2, 1);
}

TEST(Form, WithoutSizingStylesOnlyTheProgramChangesItsSize) {
  ui::TForm form(L"TFormFixedSizeTestForm");
  form.SetClientSize(300, 200);
  ASSERT_TRUE(form.CreateHandle());
  form.Show();
  const auto size = [&] {
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    return std::pair{r.right - r.left, r.bottom - r.top};
  };
  EXPECT_FALSE(form.UserSizable());
  // Maximize (the system menu, Win+Up), sizing from an edge, another
  // program's move with a size.
  SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(form.Handle()));
  SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, 0);
  SetWindowPos(form.Handle(), nullptr, 10, 20, 800, 600, SWP_NOZORDER);
  EXPECT_EQ(size(), (std::pair{300L, 200L}));
  EXPECT_EQ(form.Left(), 10) << "a move still moves";
  EXPECT_EQ(form.Width(), 300);
  // The program's own change of size goes through.
  form.SetClientSize(320, 210);
  EXPECT_EQ(size(), (std::pair{320L, 210L}));

  // A form that offers maximizing may be sized.
  form.AddWindowStyle(WS_MAXIMIZEBOX);
  EXPECT_TRUE(form.UserSizable());
  SetWindowPos(form.Handle(), nullptr, 10, 20, 400, 250, SWP_NOZORDER);
  EXPECT_EQ(size(), (std::pair{400L, 250L}));
}

TEST(Form, CreationAndDestructionRunTheirHandlersOnce) {
  int created = 0;
  int destroyed = 0;
  {
    ui::TForm form(L"TFormEventsTestForm");
    form.OnCreate = [&](ui::TComponent&) { ++created; };
    form.OnDestroy = [&](ui::TComponent&) { ++destroyed; };
    ASSERT_TRUE(form.CreateHandle());
    ASSERT_TRUE(form.CreateHandle());
    EXPECT_EQ(created, 1);
    form.Close();
    EXPECT_FALSE(form.HandleAllocated());
    EXPECT_EQ(destroyed, 1);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(Form, ClosingTheMainFormEndsTheMessageLoop) {
  ui::TForm form(L"TFormMainTestForm");
  form.SetMainForm(true);
  ASSERT_TRUE(form.CreateHandle());
  PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ui::RunMessageLoop(), 0);
  EXPECT_FALSE(form.HandleAllocated());
}

TEST(Form, CloseQueryDecidesWhetherACloseRequestDestroysTheWindow) {
  ui::TForm form(L"TFormCloseQueryTestForm");
  bool allow = false;
  int asked = 0;
  form.OnCloseQuery = [&](ui::TComponent&) {
    ++asked;
    return allow;
  };
  ASSERT_TRUE(form.CreateHandle());
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(form.HandleAllocated());
  allow = true;
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(form.HandleAllocated());
}

TEST(Form, EndSessionRunsItsHandlerOnlyWhenTheSessionReallyEnds) {
  ui::TForm form(L"TFormEndSessionTestForm");
  int ended = 0;
  form.OnEndSession = [&](ui::TComponent&) { ++ended; };
  ASSERT_TRUE(form.CreateHandle());
  SendMessageW(form.Handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_EQ(ended, 0);
  SendMessageW(form.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ended, 1);
}

TEST(Form, WindowRegionShapesTheWindow) {
  ui::TForm form(L"TFormRegionTestForm");
  form.SetClientSize(100, 50);
  ASSERT_TRUE(form.CreateHandle());
  form.SetWindowRegion(ui::UniqueRegion(CreateRoundRectRgn(0, 0, 100, 50, 10, 10)));
  ui::UniqueRegion copy(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(form.Handle(), copy.get()), ERROR);
  EXPECT_FALSE(PtInRegion(copy.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(copy.get(), 50, 25));
}

TEST(Form, ControlCursorsComeFromTheReplaceableScreenTable) {
  EXPECT_EQ(ui::ScreenCursor(ui::crHandPoint), LoadCursorW(nullptr, IDC_HAND));
  EXPECT_EQ(ui::ScreenCursor(ui::crDefault), LoadCursorW(nullptr, IDC_ARROW));
  HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
  ui::SetScreenCursor(ui::crHandPoint, cross);
  EXPECT_EQ(ui::ScreenCursor(ui::crHandPoint), cross);
  ui::SetScreenCursor(ui::crHandPoint, LoadCursorW(nullptr, IDC_HAND));
}

// A form whose window the system refuses: its class does not exist.
class UncreatableForm : public ui::TForm {
 public:
  UncreatableForm() : ui::TForm(L"TFormUncreatableTestForm") {}

 protected:
  void CreateParams(ui::TCreateParams& params) override {
    ui::TForm::CreateParams(params);
    params.WindowClass = L"NoSuchWindowClassAnywhere";
    params.SystemClass = true;
  }
};

TEST(Form, MainFormWithoutAWindowEndsTheProgramWithAFailureInsteadOfWaiting) {
  UncreatableForm form;
  // Were the loop to run, this would end it with success.
  PostQuitMessage(0);
  EXPECT_EQ(ui::RunMainForm(form), 1);
  EXPECT_FALSE(form.HandleAllocated());
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Form, ChildWindowAskedForBeforeItsParentHasOneIsCreatedOnce) {
  ui::TForm form(L"TFormChildOnceTestForm");
  form.SetClientSize(100, 50);
  auto& child = ui::Create<ui::TCustomControl>(form);
  child.SetBounds(10, 10, 30, 20);
  child.SetParent(&form);
  ASSERT_FALSE(form.HandleAllocated());
  ASSERT_TRUE(child.HandleNeeded());
  int windows = 0;
  EnumChildWindows(
      form.Handle(),
      [](HWND, LPARAM count) {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, 1);
  EXPECT_EQ(GetParent(child.Handle()), form.Handle());
}

}  // namespace
