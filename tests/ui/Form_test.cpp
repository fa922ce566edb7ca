// The form's own window: class, size, place, outline, and its life events.
#include "ui/Form.h"

#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
