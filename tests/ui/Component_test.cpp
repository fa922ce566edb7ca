#include "ui/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Form.h"

namespace {

// Notes its own destruction, so that the order and the owner's state at
// that moment can be checked.
class Tracked : public ui::TComponent {
 public:
  Tracked(ui::TComponent* owner, std::vector<std::wstring>* log, std::wstring name)
      : TComponent(owner), log_(log) {
    SetName(std::move(name));
  }
  ~Tracked() override { log_->push_back(Name()); }
  std::wstring_view ClassName() const override { return L"Tracked"; }

 private:
  std::vector<std::wstring>* log_;
};

TEST(Component, OwnerKeepsCreationOrderAndFreesItsComponents) {
  std::vector<std::wstring> freed;
  {
    ui::TComponent owner;
    auto& a = ui::Create<Tracked>(owner, &freed, L"a");
    ui::Create<Tracked>(owner, &freed, L"b");
    ui::Create<Tracked>(a, &freed, L"a.child");
    ASSERT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(0)->Name(), L"a");
    EXPECT_EQ(owner.Components(1)->Name(), L"b");
    EXPECT_EQ(a.Owner(), &owner);
    EXPECT_EQ(owner.FindComponent(L"b"), owner.Components(1));
    EXPECT_EQ(owner.FindComponent(L"B"), nullptr);
    EXPECT_EQ(owner.Components(0)->ClassName(), L"Tracked");
  }
  // The last created goes first; a component goes before the ones it owns.
  EXPECT_EQ(freed, (std::vector<std::wstring>{L"b", L"a", L"a.child"}));
}

TEST(Component, RemovedComponentChangesHands) {
  std::vector<std::wstring> freed;
  ui::TComponent owner;
  auto& a = ui::Create<Tracked>(owner, &freed, L"a");
  std::unique_ptr<ui::TComponent> taken = owner.RemoveComponent(a);
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(taken->Owner(), nullptr);
  taken.reset();
  EXPECT_EQ(freed, std::vector<std::wstring>{L"a"});
}

TEST(Component, KindIsKnownAtRunTime) {
  ui::TForm form(L"TKindTestForm");
  auto& label = ui::Create<ui::TGraphicControl>(form);
  ui::TComponent* asComponent = &label;
  EXPECT_NE(dynamic_cast<ui::TControl*>(asComponent), nullptr);
  EXPECT_EQ(dynamic_cast<ui::TWinControl*>(asComponent), nullptr);
  EXPECT_EQ(form.ClassName(), L"TKindTestForm");
}

TEST(Control, FollowsTheParentFontUntilOneIsSet) {
  ui::TForm form(L"TFontTestForm");
  auto& control = ui::Create<ui::TGraphicControl>(form);
  control.SetParent(&form);
  ui::TFont big;
  big.Height = -20;
  form.SetFont(big);
  EXPECT_EQ(control.Font().Height, -20);

  ui::TFont own;
  own.Style = ui::fsBold;
  control.SetFont(own);
  form.SetFont(ui::TFont{});
  EXPECT_FALSE(control.ParentFont());
  EXPECT_EQ(control.Font().Style, ui::fsBold);
  EXPECT_EQ(control.Font().Height, -11);
}

TEST(Control, AlignedChildrenShareTheClientAreaInSideOrder) {
  ui::TForm form(L"TAlignTestForm");
  form.SetClientSize(200, 100);
  auto make = [&](ui::TAlign align, int w, int h) -> ui::TControl& {
    auto& c = ui::Create<ui::TGraphicControl>(form);
    c.SetBounds(50, 50, w, h);
    c.SetParent(&form);
    c.SetAlign(align);
    return c;
  };
  auto& client = make(ui::alClient, 1, 1);
  auto& top = make(ui::alTop, 10, 20);
  auto& left = make(ui::alLeft, 30, 5);
  auto& right = make(ui::alRight, 15, 5);
  auto& bottom = make(ui::alBottom, 10, 10);
  auto& none = make(ui::alNone, 7, 7);
  EXPECT_EQ(top.BoundsRect(), ui::Bounds(0, 0, 200, 20));
  EXPECT_EQ(bottom.BoundsRect(), ui::Bounds(0, 90, 200, 10));
  EXPECT_EQ(left.BoundsRect(), ui::Bounds(0, 20, 30, 70));
  EXPECT_EQ(right.BoundsRect(), ui::Bounds(185, 20, 15, 70));
  EXPECT_EQ(client.BoundsRect(), ui::Bounds(30, 20, 155, 70));
  EXPECT_EQ(none.BoundsRect(), ui::Bounds(50, 50, 7, 7));

  top.SetVisible(false);
  EXPECT_EQ(left.BoundsRect(), ui::Bounds(0, 0, 30, 90));
}

TEST(Control, ChildFreedBeforeItsParentLeavesIt) {
  ui::TForm form(L"TOrphanTestForm");
  {
    ui::TGraphicControl loose;
    loose.SetParent(&form);
    EXPECT_EQ(form.ControlCount(), 1);
  }
  EXPECT_EQ(form.ControlCount(), 0);
}

}  // namespace
