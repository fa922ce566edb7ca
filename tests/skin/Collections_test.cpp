// Picture and label collections: defaults, copying, and choosing an item.
#include <gtest/gtest.h>

#include "ImageItemFixture.h"

#include "../ui/PngFixture.h"
#include "skin/ImageNote.h"
#include "skin/ImageRect.h"
#include "skin/LabelNote.h"

namespace {

using skintest::Place;
using uitest::SolidPicture;

TEST(Collections, NewItemsTakeNumberedDefaults) {
  skin::TImageRect rect;
  rect.SetBounds(0, 0, 462, 6);
  rect.Items().Add();
  skin::TImageItem& second = rect.Items().Add();
  EXPECT_EQ(second.Name(), L"Image_1");
  EXPECT_EQ(second.DisplayName(), L"Image_1");
  EXPECT_EQ(second.Width(), 462);
  EXPECT_EQ(second.Height(), 6);
  EXPECT_EQ(second.Align(), ui::alNone);
  EXPECT_TRUE(second.Visible());
  EXPECT_FALSE(second.Stretch());
  EXPECT_EQ(&second.Collection(), &rect.Items());
  EXPECT_EQ(second.Collection().Owner(), &rect);

  skin::TImageNote note;
  EXPECT_EQ(note.Items().Add().Name(), L"Picture_0");
  EXPECT_EQ(note.ImageIndex(), -1);

  skin::TLabelNote label;
  skin::TLabelItem& text = label.Items().Add();
  EXPECT_EQ(text.Text(), L"Text_0");
  EXPECT_EQ(text.Name(), L"");
  EXPECT_EQ(text.DisplayName(), L"Text_0");
  EXPECT_EQ(label.TextIndex(), -1);
}

TEST(Collections, CopyingAnItemCopiesItsContentOnly) {
  skin::TImageRect rect;
  skin::TImageItem& source = rect.Items().Add();
  source.SetPicture(SolidPicture(3, 3, 1, 2, 3));
  skin::TImageItem& target = rect.Items().Add();
  target.SetName(L"kept");
  Place(target, 1, 2, 3, 4);
  target.SetStretch(true);
  target.SetAlign(ui::alRight);
  target.SetVisible(false);
  target.Assign(source);
  EXPECT_EQ(target.Picture().Width(), 3);
  EXPECT_EQ(target.Name(), L"kept");
  EXPECT_EQ(target.ItemRect(0, 0).Width(), 3);
  EXPECT_EQ((ui::TRect{target.Left(), target.Top(), target.Width(), target.Height()}),
            (ui::TRect{1, 2, 3, 4}));
  EXPECT_TRUE(target.Stretch());
  EXPECT_EQ(target.Align(), ui::alRight);
  EXPECT_FALSE(target.Visible());

  skin::TLabelNote label;
  skin::TLabelItem& a = label.Items().Add();
  skin::TLabelItem& b = label.Items().Add();
  a.SetName(L"first");
  b.SetName(L"second");
  b.SetText(L"words");
  a.Assign(b);
  EXPECT_EQ(a.Text(), L"words");
  EXPECT_EQ(a.Name(), L"first");
}

TEST(Collections, CopyingFromAnotherItemClassFailsNamingBoth) {
  skin::TImageRect rect;
  skin::TLabelNote label;
  try {
    rect.Items().Add().Assign(label.Items().Add());
    FAIL() << "no error";
  } catch (const ui::EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TLabelItem to a TImageItem");
  }
}

TEST(Collections, CopyingACollectionGivesDefaultItemsWithTheSourcesContent) {
  skin::TImageRect source;
  skin::TImageItem& item = source.Items().Add();
  item.SetName(L"bar");
  item.SetAlign(ui::alLeft);
  item.SetPicture(SolidPicture(2, 2, 5, 5, 5));
  source.Items().Add().SetName(L"second");
  skin::TImageRect target;
  target.SetBounds(0, 0, 7, 8);
  target.Items().Assign(source.Items());
  ASSERT_EQ(target.Items().Count(), 2);
  EXPECT_EQ(target.Items().Items(0).Name(), L"Image_0");
  EXPECT_EQ(target.Items().Items(0).Align(), ui::alNone);
  EXPECT_EQ(target.Items().Items(0).Width(), 7);
  EXPECT_EQ(target.Items().Items(0).Picture().Width(), 2);
  EXPECT_EQ(target.Items().Items(1).Name(), L"Image_1");
}

TEST(ImageNote, IndexShowsACopyOfThatPictureAndOutOfRangeChangesNothing) {
  skin::TImageNote note;
  for (int size : {1, 2, 3}) note.Items().Add().SetPicture(SolidPicture(size, size, 0, 0, 0));
  note.SetImageIndex(1);
  EXPECT_EQ(note.ImageIndex(), 1);
  EXPECT_EQ(note.Picture().Width(), 2);

  note.Items().Items(1).SetPicture(SolidPicture(9, 9, 0, 0, 0));
  EXPECT_EQ(note.Picture().Width(), 2);

  for (int bad : {5, 3, -2}) {
    note.SetImageIndex(bad);
    EXPECT_EQ(note.ImageIndex(), 1);
    EXPECT_EQ(note.Picture().Width(), 2);
  }
  note.SetImageIndex(1);
  EXPECT_EQ(note.Picture().Width(), 9);
  note.SetImageIndex(-1);
  EXPECT_EQ(note.ImageIndex(), -1);
  EXPECT_TRUE(note.Picture().Empty());
}

TEST(ImageNote, WhileLoadingOnlyTheIndexIsStored) {
  skin::TImageNote note;
  note.Items().Add().SetPicture(SolidPicture(4, 4, 0, 0, 0));
  note.BeginLoading();
  note.SetImageIndex(0);
  note.EndLoading();
  EXPECT_EQ(note.ImageIndex(), 0);
  EXPECT_TRUE(note.Picture().Empty());
}

TEST(ImageNote, LockRemembersTheBounds) {
  skin::TImageNote note;
  note.SetBounds(1, 2, 30, 40);
  note.SetLocked(true);
  note.SetBounds(5, 6, 7, 8);
  note.RestoreLockedBounds();
  EXPECT_EQ(note.BoundsRect(), ui::Bounds(1, 2, 30, 40));
  note.SetLocked(false);
  note.SetBounds(5, 6, 7, 8);
  note.RestoreLockedBounds();
  EXPECT_EQ(note.BoundsRect(), ui::Bounds(5, 6, 7, 8));
}

TEST(LabelNote, TextIndexSetsTheCaptionAndOthersAreIgnored) {
  skin::TLabelNote label;
  label.SetCaption(L"layout text");
  label.Items().Add().SetText(L"zero");
  label.Items().Add().SetText(L"one");
  for (int bad : {-1, 2, 7}) label.SetTextIndex(bad);
  EXPECT_EQ(label.Caption(), L"layout text");
  EXPECT_EQ(label.TextIndex(), -1);
  EXPECT_EQ(label.NameIndex(), L"");

  label.SetTextIndex(1);
  EXPECT_EQ(label.Caption(), L"one");
  label.SetTextIndex(-1);
  EXPECT_EQ(label.Caption(), L"one");
  EXPECT_EQ(label.TextIndex(), 1);
}

TEST(LabelNote, NameIndexPicksTheFirstExactMatch) {
  skin::TLabelNote label;
  const wchar_t* names[] = {L"alpha", L"twin", L"twin"};
  const wchar_t* texts[] = {L"A", L"first twin", L"second twin"};
  for (int i = 0; i < 3; ++i) {
    skin::TLabelItem& item = label.Items().Add();
    item.SetName(names[i]);
    item.SetText(texts[i]);
  }
  label.SetNameIndex(L"twin");
  EXPECT_EQ(label.TextIndex(), 1);
  EXPECT_EQ(label.Caption(), L"first twin");
  EXPECT_EQ(label.NameIndex(), L"twin");

  label.SetNameIndex(L"ALPHA");
  EXPECT_EQ(label.TextIndex(), 1);
  label.SetNameIndex(L"nobody");
  EXPECT_EQ(label.TextIndex(), 1);
}

TEST(LabelNote, WhileLoadingOnlyTheIndexIsStored) {
  skin::TLabelNote label;
  label.SetCaption(L"from the layout");
  label.Items().Add().SetText(L"item");
  label.BeginLoading();
  label.SetTextIndex(0);
  label.EndLoading();
  EXPECT_EQ(label.TextIndex(), 0);
  EXPECT_EQ(label.Caption(), L"from the layout");
}

}  // namespace
