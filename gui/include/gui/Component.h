// TPersistent (objects that copy themselves into each other) and TComponent
// (named objects in an ownership tree, with removal notifications).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Object.h"

namespace gui {

class TPersistent : public TObject {
  GUI_CLASS(TPersistent, TObject)

 public:
  // Copies source into this object. The base hands the work to
  // source->AssignTo(this), so either side may know how; when neither does,
  // EConvertError "Cannot assign a X to a Y".
  virtual void Assign(TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csReading, csDestroying, csDesigning };
using TComponentState = Set<TComponentStateFlag>;

class TComponent : public TPersistent {
  GUI_CLASS(TComponent, TPersistent)

 public:
  explicit TComponent(TComponent* owner);
  // Tells everyone who asked (FreeNotification) and the owner's components,
  // then destroys the owned components, last created first.
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // A valid identifier or empty, unique (case-insensitive) among the owner's
  // components; EComponentError otherwise.
  virtual void SetName(const std::string& name);
  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  TComponent* FindComponent(std::string_view name) const;

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Asks to be told (Notification with opRemove) when component goes away,
  // whoever owns it. Both sides keep the link until either is destroyed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  void SetLoadingState(bool loading);  // the form reader's csLoading/csReading switch

  // Called once a form has been read completely, references fixed up and
  // handlers bound; csLoading is already off.
  virtual void Loaded() {}
  // The object block this component was nested in when read from a form
  // (the form's root when it was at the top). Containers and menus use it.
  virtual void SetParentComponent(TComponent* parent) {}

 protected:
  virtual void Notification(TComponent* component, TOperation operation) {}
  // First step of destruction, while the object is still whole.
  virtual void Destroying() { state_.Include(csDestroying); }
  // Destroys the owned components, last created first. Containers call it
  // early in their own destructor, while their children's parent is whole.
  void DestroyComponents();

 private:
  void NotifyAll(TComponent* component, TOperation operation);
  static void Unlink(std::vector<TComponent*>& list, TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::intptr_t tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

bool IsValidIdent(std::string_view name);

}  // namespace gui
