#include "gui/Component.h"

#include <algorithm>
#include <cctype>

namespace gui {

GUI_DEFINE_CLASS(TPersistent) {}

void TPersistent::Assign(TPersistent* source) {
  if (!source) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  std::string from = source ? "a " + source->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign " + from + " to a " + ClassName());
}

// --- TComponent ------------------------------------------------------------------

GUI_DEFINE_CLASS(TComponent) {
  c.String("Name", &TComponent::Name, &TComponent::SetName);
  c.Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)) || ch == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char ch) { return alpha(ch) || std::isdigit(static_cast<unsigned char>(ch)); });
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Everyone linked through FreeNotification hears of the removal and drops
  // the link from its side.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Unlink(other->freeNotifies_, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();  // each removes itself
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_ && !name.empty()) {
    TComponent* same = owner_->FindComponent(name);
    if (same && same != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  // Checked before the move, so a refused component keeps its old owner.
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  NotifyAll(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  NotifyAll(component, opRemove);
  Unlink(components_, component);
  component->owner_ = nullptr;
}

void TComponent::NotifyAll(TComponent* component, TOperation operation) {
  Notification(component, operation);
  // A handler may change the list; walk a copy and skip what has gone.
  std::vector<TComponent*> others = components_;
  for (TComponent* other : others)
    if (other != component && std::find(components_.begin(), components_.end(), other) != components_.end())
      other->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
    freeNotifies_.push_back(component);
  if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
      component->freeNotifies_.end())
    component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  Unlink(freeNotifies_, component);
  Unlink(component->freeNotifies_, this);
}

void TComponent::SetLoadingState(bool loading) {
  if (loading)
    state_.Include(csLoading).Include(csReading);
  else
    state_.Exclude(csLoading).Exclude(csReading);
}

void TComponent::Unlink(std::vector<TComponent*>& list, TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace gui
