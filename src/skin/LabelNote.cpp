#include "skin/LabelNote.h"

namespace skin {

TLabelNote::TLabelNote(ui::TComponent* owner) : TLabel(owner), items_(this) {}

void TLabelNote::SetTextIndex(int index) {
  if (IsLoading()) {
    textIndex_ = index;
  } else if (index >= 0 && index < items_.Count()) {
    textIndex_ = index;
    SetCaption(items_.Items(index).Text());
  }
}

std::wstring TLabelNote::NameIndex() const {
  // An index left behind by deleted items names nothing.
  if (textIndex_ < 0 || textIndex_ >= items_.Count()) return {};
  return items_.Items(textIndex_).Name();
}

void TLabelNote::SetNameIndex(const std::wstring& name) {
  for (int i = 0; i < items_.Count(); ++i) {
    if (items_.Items(i).Name() == name) {
      SetTextIndex(i);
      return;
    }
  }
}

}  // namespace skin
