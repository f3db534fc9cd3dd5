// Actions and action lists.
#include "gui/ActnList.h"

#include <algorithm>

#include "gui/Controls.h"

namespace gui {

GUI_DEFINE_CLASS(TBasicAction) { c.Event("OnExecute", &TBasicAction::OnExecute); }

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

GUI_DEFINE_CLASS(TCustomAction) {
  c.String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
  c.Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked, false);
  c.Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true);
  c.String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
  c.Integer("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut, 0);
  c.Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true);
}

TCustomAction::~TCustomAction() {
  for (TControlActionLink* link : links_) link->action_ = nullptr;
  SetActionList(nullptr);
}

// The links hear the new value while the action still holds the old one,
// so each can tell whether its control followed the action until now.
template <class V, class F>
static void Notify(std::vector<TControlActionLink*> links, V& field, const V& value, F apply) {
  if (field == value) return;
  for (TControlActionLink* link : links) apply(*link);
  field = value;
}

void TCustomAction::SetCaption(const std::string& value) {
  Notify(links_, caption_, value, [&](TControlActionLink& l) { l.SetCaption(value); });
}

void TCustomAction::SetChecked(bool value) {
  Notify(links_, checked_, value, [&](TControlActionLink& l) { l.SetChecked(value); });
}

void TCustomAction::SetEnabled(bool value) {
  Notify(links_, enabled_, value, [&](TControlActionLink& l) { l.SetEnabled(value); });
}

void TCustomAction::SetHint(const std::string& value) {
  Notify(links_, hint_, value, [&](TControlActionLink& l) { l.SetHint(value); });
}

void TCustomAction::SetVisible(bool value) {
  Notify(links_, visible_, value, [&](TControlActionLink& l) { l.SetVisible(value); });
}

void TCustomAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  if (actionList_) {
    auto& v = actionList_->actions_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  actionList_ = list;
  if (list) list->actions_.push_back(this);
}

void TCustomAction::SetParentComponent(TComponent* parent) {
  if (auto* list = dynamic_cast<TActionList*>(parent)) SetActionList(list);
}

bool TCustomAction::Execute() { return enabled_ && inherited::Execute(); }

GUI_DEFINE_CLASS(TAction) {}

GUI_DEFINE_CLASS(TActionList) {}

TActionList::~TActionList() {
  for (TCustomAction* a : actions_) a->actionList_ = nullptr;
}

bool TActionList::IsShortCut(TShortCut shortCut) {
  std::vector<TCustomAction*> actions = actions_;
  for (TCustomAction* a : actions)
    if (a->ShortCut() == shortCut && a->Enabled()) return a->Execute();
  return false;
}

// --- TControlActionLink ---------------------------------------------------------------

TControlActionLink::~TControlActionLink() { SetAction(nullptr); }

TCustomAction* TControlActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(action_); }

void TControlActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (TCustomAction* old = CustomAction()) {
    auto& links = old->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  action_ = action;
  if (TCustomAction* now = CustomAction()) now->links_.push_back(this);
}

bool TControlActionLink::Execute() { return action_ && action_->Execute(); }

bool TControlActionLink::IsCaptionLinked() const {
  TCustomAction* a = CustomAction();
  return a && client_->Caption() == a->Caption();
}

bool TControlActionLink::IsCheckedLinked() const { return CustomAction() != nullptr; }

bool TControlActionLink::IsEnabledLinked() const {
  TCustomAction* a = CustomAction();
  return a && client_->Enabled() == a->Enabled();
}

bool TControlActionLink::IsHintLinked() const {
  TCustomAction* a = CustomAction();
  return a && client_->Hint() == a->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
  TCustomAction* a = CustomAction();
  return a && client_->Visible() == a->Visible();
}

void TControlActionLink::SetCaption(const std::string& value) {
  if (IsCaptionLinked()) client_->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) client_->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::string& value) {
  if (IsHintLinked()) client_->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) client_->SetVisible(value);
}

}  // namespace gui
