// A text label that shows one of several stored texts, chosen by index or
// by item name. Selecting copies the item's text into the caption; a later
// change of the item (a translation, say) shows at the next selection.
#pragma once

#include <string>

#include "skin/LabelItem.h"
#include "ui/Label.h"

namespace skin {

class TLabelNote : public ui::TLabel {
 public:
  explicit TLabelNote(ui::TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TLabelNote"; }

  TLabelItems& Items() { return items_; }
  const TLabelItems& Items() const { return items_; }

  int TextIndex() const { return textIndex_; }
  // 0..Count-1 shows that item's text; anything else (-1 too) is ignored.
  // While loading only the index is stored.
  void SetTextIndex(int index);
  // The name of the selected item, or empty with none selected.
  std::wstring NameIndex() const;
  // Selects the first item of exactly that name; no match changes nothing.
  void SetNameIndex(const std::wstring& name);

 private:
  TLabelItems items_;
  int textIndex_ = -1;
};

}  // namespace skin
