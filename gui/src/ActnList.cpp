// Actions and action lists.
#include "gui/ActnList.h"

#include <algorithm>

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

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

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

}  // namespace gui
