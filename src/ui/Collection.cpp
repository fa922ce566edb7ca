#include "ui/Collection.h"

#include <algorithm>

namespace ui {

namespace {
std::string Narrow(std::wstring_view text) {
  return std::string(text.begin(), text.end());
}
}  // namespace

void TCollectionItem::Assign(const TCollectionItem& source) {
  throw EConvertError("Cannot assign a " + Narrow(source.ClassName()) + " to a " +
                      Narrow(ClassName()));
}

int TCollectionItem::Index() const {
  return collection_->IndexOf(*this);
}

void TCollectionItem::Changed() {
  collection_->Changed();
}

int TCollection::IndexOf(const TCollectionItem& item) const {
  auto it =
      std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == &item; });
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TCollectionItem& TCollection::AddItem() {
  items_.push_back(NewItem());
  TCollectionItem& item = *items_.back();
  item.Added();
  Changed();
  return item;
}

void TCollection::Delete(int index) {
  items_.erase(items_.begin() + IndexOf(Item(index)));
  Changed();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TCollection::Assign(const TCollection& source) {
  if (&source == this) return;
  items_.clear();
  for (int i = 0; i < source.Count(); ++i) AddItem().Assign(source.Item(i));
  Changed();
}

}  // namespace ui
