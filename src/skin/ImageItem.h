// One positioned picture of a picture rectangle, and the collection of them.
// An item's rectangle follows its Align against the whole control: aligned
// items never push each other aside.
#pragma once

#include "skin/NamedPictureItem.h"
#include "ui/Scale.h"
#include "ui/Types.h"

namespace skin {

class TImageItem : public TNamedPictureItem {
 public:
  explicit TImageItem(ui::TCollection& collection);
  std::wstring_view ClassName() const override { return L"TImageItem"; }

  int Top() const { return top_; }
  void SetTop(int v) { SetAndChange(top_, v); }
  int Left() const { return left_; }
  void SetLeft(int v) { SetAndChange(left_, v); }
  int Width() const { return width_; }
  void SetWidth(int v) { SetAndChange(width_, v); }
  int Height() const { return height_; }
  void SetHeight(int v) { SetAndChange(height_, v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { SetAndChange(stretch_, v); }
  ui::TAlign Align() const { return align_; }
  void SetAlign(ui::TAlign v) { SetAndChange(align_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { SetAndChange(visible_, v); }

  // The item's rectangle in a control of the given size.
  ui::TRect ItemRect(int controlWidth, int controlHeight) const;
  // Its place and size follow the control to another scale (Scale.h).
  void ChangeScale(int from, int dpi);

 protected:
  std::wstring_view NamePrefix() const override { return L"Image_"; }

 private:
  template <typename T>
  void SetAndChange(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
  }

  int top_ = 0;
  int left_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool stretch_ = false;
  ui::TAlign align_ = ui::alNone;
  bool visible_ = true;
  ui::TScaledFields scaledFields_;
};

class TImageItems : public ui::TTypedCollection<TImageItem> {
 public:
  using TTypedCollection::TTypedCollection;
};

}  // namespace skin
