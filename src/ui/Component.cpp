#include "ui/Component.h"

#include <algorithm>

namespace ui {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
  for (TComponentGuard* g = guards_; g != nullptr; g = g->next_) g->component_ = nullptr;
  DestroyComponents();
}

TComponentGuard::TComponentGuard(TComponent& component)
    : component_(&component), next_(component.guards_) {
  component.guards_ = this;
}

TComponentGuard::~TComponentGuard() {
  if (component_ == nullptr) return;
  // Usually the newest guard, as guards live on the stack.
  for (TComponentGuard** link = &component_->guards_; *link != nullptr; link = &(*link)->next_) {
    if (*link == this) {
      *link = next_;
      return;
    }
  }
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  for (const auto& c : components_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

void TComponent::EndLoading() {
  loading_ = false;
  Loaded();
}

TComponent& TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
  component->owner_ = this;
  components_.push_back(std::move(component));
  return *components_.back();
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent& component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [&](const auto& c) { return c.get() == &component; });
  if (it == components_.end()) return nullptr;
  std::unique_ptr<TComponent> result = std::move(*it);
  components_.erase(it);
  result->owner_ = nullptr;
  return result;
}

void TComponent::DestroyComponents() {
  // A component freed here may still look at its owner's list (a control
  // leaving its parent, say), so each leaves the list before it dies.
  while (!components_.empty()) {
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
    last.reset();
  }
}

}  // namespace ui
