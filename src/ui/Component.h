// The root of everything a window layout creates: a named object with an
// owner that destroys it, the components it owns in creation order, a free
// integer tag, and a class name known at run time. Ownership (who frees) is
// kept apart from parenthood (where a control shows), as a layout may place a
// control owned by the form on some other container.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class TComponentGuard;

class TComponent {
 public:
  // The owner is remembered at once (defaults may depend on it), but the
  // component becomes one of the owner's only through InsertComponent (or
  // Create below), which hands the ownership over.
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The class name as the layout and the language files know it.
  virtual std::wstring_view ClassName() const { return L"TComponent"; }

  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index).get(); }
  // The first owned component of that name (names compare exactly).
  TComponent* FindComponent(std::wstring_view name) const;

  std::int32_t Tag() const { return tag_; }
  void SetTag(std::int32_t tag) { tag_ = tag; }

  // While a layout is being read into the component: setters that would act
  // on other properties only store their value.
  bool IsLoading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  // Ends loading and runs Loaded().
  void EndLoading();

  TComponent& InsertComponent(std::unique_ptr<TComponent> component);
  std::unique_ptr<TComponent> RemoveComponent(TComponent& component);

 protected:
  // Runs once the layout has set every property.
  virtual void Loaded() {}
  // Frees the owned components, the last created first.
  void DestroyComponents();

 private:
  friend class TComponentGuard;

  std::wstring name_;
  TComponent* owner_ = nullptr;
  // The guards watching this component, newest first.
  TComponentGuard* guards_ = nullptr;
  std::vector<std::unique_ptr<TComponent>> components_;
  std::int32_t tag_ = 0;
  bool loading_ = false;
};

// Tells whether a component still exists after a call that may have freed
// it: an event handler may free the very control that raised the event
// (a close button), and the code that raised it must not touch it again.
// Any number may watch one component, on the stack or kept by another
// object that refers to it without owning it.
class TComponentGuard {
 public:
  explicit TComponentGuard(TComponent& component);
  ~TComponentGuard();
  TComponentGuard(const TComponentGuard&) = delete;
  TComponentGuard& operator=(const TComponentGuard&) = delete;

  bool Alive() const { return component_ != nullptr; }

 private:
  friend class TComponent;
  TComponent* component_;
  TComponentGuard* next_;
};

// Creates a component owned by `owner` and returns it.
template <typename T, typename... Args>
T& Create(TComponent& owner, Args&&... args) {
  auto component = std::make_unique<T>(&owner, std::forward<Args>(args)...);
  T& result = *component;
  owner.InsertComponent(std::move(component));
  return result;
}

}  // namespace ui
