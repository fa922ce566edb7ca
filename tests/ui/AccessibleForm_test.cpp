// The form's accessible object as a screen reader in the same process sees
// it: its children with their roles, names, states and places, the default
// action, hit tests and navigation, the events, and the object outliving
// the window.
#include "ui/AccessibleForm.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/MessageWait.h"

namespace {

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring Name(IAccessible& object, long id) {
  BSTR name = nullptr;
  const HRESULT hr = object.get_accName(Child(id), &name);
  std::wstring text = SUCCEEDED(hr) && name != nullptr ? name : L"";
  SysFreeString(name);
  return text;
}

long Long(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible& object, long id) {
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ((object.*get)(Child(id), &v), S_OK);
  return v.vt == VT_I4 ? v.lVal : -1;
}

class Host {
 public:
  Host() : form(L"TAccessibleFormTestForm") {
    form.SetCaption(L"The form");
    form.SetClientSize(200, 100);
    // Placed in this order: the readers' order.
    go = &Add<ui::TGraphicControl>(L"Go", 10, 10, ui::arPushButton);
    go->SetTabStop(true);
    text = &Add<ui::TLabel>(L"Some text", 10, 40, ui::arStaticText);
    decoration = &Add<ui::TGraphicControl>(L"Decoration", 0, 0, ui::arNone);
    decoration->SetBounds(0, 0, 200, 100);
    link = &Add<ui::TGraphicControl>(L"A link", 100, 10, ui::arLink);
    link->SetTabStop(true);
    go->OnClick = [this](ui::TComponent&) { ++clicks; };
    link->OnClick = [this](ui::TComponent&) { ++clicks; };
    EXPECT_TRUE(form.CreateHandle());
    form.Show();
    SetFocus(form.Handle());
  }
  ~Host() {
    if (object != nullptr) object->Release();
  }

  template <typename T>
  T& Add(const wchar_t* caption, int left, int top, ui::TAccessibleRole role) {
    auto& c = ui::Create<T>(form);
    c.SetCaption(caption);
    c.SetBounds(left, top, 50, 20);
    c.SetAccessibleRole(role);
    c.SetParent(&form);
    return c;
  }

  IAccessible& Object() {
    if (object == nullptr) {
      EXPECT_EQ(AccessibleObjectFromWindow(form.Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                           IID_IAccessible, reinterpret_cast<void**>(&object)),
                S_OK);
    }
    return *object;
  }

  ui::TForm form;
  ui::TGraphicControl* go = nullptr;
  ui::TLabel* text = nullptr;
  ui::TGraphicControl* link = nullptr;
  ui::TGraphicControl* decoration = nullptr;
  int clicks = 0;
  IAccessible* object = nullptr;
};

TEST(AccessibleForm, ChildrenAreTheControlsWithARoleWithTheirNamesStatesAndPlaces) {
  Host host;
  IAccessible& object = host.Object();
  long count = 0;
  ASSERT_EQ(object.get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 3);
  host.link->SetEnabled(false);
  host.text->SetVisible(false);
  host.link->SetAccessibleName(L"Choose a file");
  struct Want {
    long id;
    long role;
    std::wstring name;
    long state;
  };
  const std::vector<Want> wanted = {
      {CHILDID_SELF, ROLE_SYSTEM_CLIENT, L"The form", STATE_SYSTEM_FOCUSABLE},
      {1, ROLE_SYSTEM_PUSHBUTTON, L"Go", STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED},
      {2, ROLE_SYSTEM_STATICTEXT, L"Some text", STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_READONLY},
      {3, ROLE_SYSTEM_LINK, L"Choose a file", STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_LINKED},
  };
  for (const Want& w : wanted) {
    EXPECT_EQ(Long(&IAccessible::get_accRole, object, w.id), w.role) << w.id;
    EXPECT_EQ(Name(object, w.id), w.name) << w.id;
    EXPECT_EQ(Long(&IAccessible::get_accState, object, w.id), w.state) << w.id;
  }
  POINT origin{0, 0};
  ClientToScreen(host.form.Handle(), &origin);
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object.accLocation(&left, &top, &width, &height, Child(3)), S_OK);
  EXPECT_EQ(std::vector<long>({left, top, width, height}),
            std::vector<long>({origin.x + 100, origin.y + 10, 50, 20}));
  // Ids past the children are refused.
  BSTR name = nullptr;
  EXPECT_EQ(object.get_accName(Child(4), &name), E_INVALIDARG);
}

TEST(AccessibleForm, TheDefaultActionPressesFromTheMessageLoopAndOnlyWhatCanBePressed) {
  Host host;
  IAccessible& object = host.Object();
  BSTR action = nullptr;
  ASSERT_EQ(object.get_accDefaultAction(Child(1), &action), S_OK);
  EXPECT_STREQ(action, L"Press");
  SysFreeString(action);
  ASSERT_EQ(object.accDoDefaultAction(Child(1)), S_OK);
  // The reader's call has returned before the click runs.
  EXPECT_EQ(host.clicks, 0);
  int quit = 0;
  ui::ProcessPendingMessages(quit);
  EXPECT_EQ(host.clicks, 1);
  EXPECT_EQ(object.accDoDefaultAction(Child(2)), DISP_E_MEMBERNOTFOUND);
  host.link->SetEnabled(false);
  EXPECT_EQ(object.accDoDefaultAction(Child(3)), E_ACCESSDENIED);
  // Pressed, then disabled before the press is served: no click.
  host.link->SetEnabled(true);
  ASSERT_EQ(object.accDoDefaultAction(Child(3)), S_OK);
  host.link->SetEnabled(false);
  ui::ProcessPendingMessages(quit);
  EXPECT_EQ(host.clicks, 1);
}

TEST(AccessibleForm, HitTestNavigationFocusAndSelection) {
  Host host;
  IAccessible& object = host.Object();
  POINT origin{0, 0};
  ClientToScreen(host.form.Handle(), &origin);
  const std::vector<std::pair<POINT, long>> hits = {
      {{15, 15}, 1}, {{105, 15}, 3}, {{5, 90}, CHILDID_SELF}};
  for (const auto& [p, id] : hits) {
    VARIANT hit;
    ASSERT_EQ(object.accHitTest(origin.x + p.x, origin.y + p.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, id) << p.x << "," << p.y;
  }
  VARIANT outside;
  EXPECT_EQ(object.accHitTest(origin.x - 5, origin.y - 5, &outside), S_FALSE);
  EXPECT_EQ(outside.vt, VT_EMPTY);

  VARIANT to;
  ASSERT_EQ(object.accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &to), S_OK);
  EXPECT_EQ(to.lVal, 1);
  ASSERT_EQ(object.accNavigate(NAVDIR_NEXT, Child(2), &to), S_OK);
  EXPECT_EQ(to.lVal, 3);
  EXPECT_EQ(object.accNavigate(NAVDIR_NEXT, Child(3), &to), S_FALSE);

  VARIANT focus;
  ASSERT_EQ(object.get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 1);
  ASSERT_EQ(object.accSelect(SELFLAG_TAKEFOCUS, Child(3)), S_OK);
  EXPECT_EQ(host.form.Keyboard().Focused(), host.link);
  EXPECT_EQ(object.accSelect(SELFLAG_TAKEFOCUS, Child(2)), S_FALSE);
}

std::vector<std::pair<DWORD, LONG>>* gEvents = nullptr;

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND, LONG objectId, LONG childId, DWORD, DWORD) {
  if (gEvents != nullptr && objectId == OBJID_CLIENT) gEvents->emplace_back(event, childId);
}

TEST(AccessibleForm, ChangesAreAnnouncedForTheirChild) {
  Host host;
  std::vector<std::pair<DWORD, LONG>> events;
  gEvents = &events;
  // Out of context: the events come to this thread as messages.
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Heard, GetCurrentProcessId(),
                                       0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  const auto heard = [&] {
    int quit = 0;
    ui::ProcessPendingMessages(quit);
    return std::exchange(events, {});
  };
  heard();
  host.go->SetCaption(L"Stop");
  EXPECT_EQ(heard(), (std::vector<std::pair<DWORD, LONG>>{{EVENT_OBJECT_NAMECHANGE, 1}}));
  host.link->SetFocus();
  EXPECT_EQ(heard(), (std::vector<std::pair<DWORD, LONG>>{{EVENT_OBJECT_FOCUS, 3}}));
  host.text->SetVisible(false);
  EXPECT_EQ(heard(), (std::vector<std::pair<DWORD, LONG>>{{EVENT_OBJECT_HIDE, 2}}));
  // A control without a role tells no one.
  host.decoration->SetVisible(false);
  EXPECT_EQ(heard(), (std::vector<std::pair<DWORD, LONG>>{}));
  UnhookWinEvent(hook);
  gEvents = nullptr;
}

TEST(AccessibleForm, AReaderHoldingTheObjectAfterTheWindowGoesIsToldItIsNotConnected) {
  auto host = std::make_unique<Host>();
  IAccessible* object = &host->Object();
  object->AddRef();
  host->form.Close();
  long count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  BSTR name = nullptr;
  EXPECT_EQ(object->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(name, nullptr);
  host.reset();
  EXPECT_EQ(object->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(object->Release(), 0u);
}

}  // namespace
