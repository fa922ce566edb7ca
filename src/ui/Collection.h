// An ordered list of items of one class that a component owns and that a
// layout fills: items know their collection (and through it the owning
// component), their index is their position, and a change to an item tells
// the owner so that it can repaint. Copying a collection copies its items
// one by one through each item's own Assign.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Component.h"

namespace ui {

// The platform's assignment error.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TCollection;

class TCollectionItem {
 public:
  explicit TCollectionItem(TCollection& collection) : collection_(&collection) {}
  virtual ~TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  virtual std::wstring_view ClassName() const { return L"TCollectionItem"; }
  // What an editor lists for the item.
  virtual std::wstring DisplayName() const { return std::wstring(ClassName()); }
  // Copies the content of another item; the base refuses with
  // "Cannot assign a <source class> to a <this class>".
  virtual void Assign(const TCollectionItem& source);

  TCollection& Collection() const { return *collection_; }
  int Index() const;

 protected:
  friend class TCollection;
  // Runs once the item is in its collection (its index is known).
  virtual void Added() {}
  // Tells the collection (and so the owner) that the item's look changed.
  void Changed();

 private:
  TCollection* collection_;
};

class TCollection {
 public:
  explicit TCollection(TComponent* owner) : owner_(owner) {}
  virtual ~TCollection() = default;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  TComponent* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem& Item(int index) const { return *items_.at(index); }
  int IndexOf(const TCollectionItem& item) const;

  // Appends a new item with its defaults.
  TCollectionItem& AddItem();
  void Delete(int index);
  void Clear();
  // Replaces the items by new ones that copy the source's contents.
  void Assign(const TCollection& source);

  // Called after any change of the items; the owner repaints from it.
  std::function<void()> OnChange;

 protected:
  virtual std::unique_ptr<TCollectionItem> NewItem() = 0;

 private:
  friend class TCollectionItem;
  void Changed() {
    if (OnChange) OnChange();
  }

  TComponent* owner_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// A collection of one item class with typed access.
template <typename ItemType>
class TTypedCollection : public TCollection {
 public:
  using TCollection::TCollection;
  ItemType& Items(int index) const { return static_cast<ItemType&>(Item(index)); }
  ItemType& Add() { return static_cast<ItemType&>(AddItem()); }

 protected:
  std::unique_ptr<TCollectionItem> NewItem() override { return std::make_unique<ItemType>(*this); }
};

}  // namespace ui
