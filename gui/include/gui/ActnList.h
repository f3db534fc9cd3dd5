// Actions: a command with its own enabled state and short cut, kept in an
// action list; a form runs the action whose short cut is pressed.
#pragma once

#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Menus.h"

namespace gui {

class TActionList;

class TBasicAction : public TComponent {
  GUI_CLASS(TBasicAction, TComponent)

 public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  // Runs OnExecute; false when there is none to run.
  virtual bool Execute();
  TNotifyEvent OnExecute;
};

class TCustomAction : public TBasicAction {
  GUI_CLASS(TCustomAction, TBasicAction)

 public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  ~TCustomAction() override;

  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* list);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { checked_ = value; }
  // A disabled action does not execute.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }

  bool Execute() override;
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TActionList;
  TActionList* actionList_ = nullptr;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  std::string hint_;
  TShortCut shortCut_ = 0;
  bool visible_ = true;
};

class TAction : public TCustomAction {
  GUI_CLASS(TAction, TCustomAction)

 public:
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

class TActionList : public TComponent {
  GUI_CLASS(TActionList, TComponent)

 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TCustomAction* Actions(int index) const { return actions_.at(static_cast<std::size_t>(index)); }
  // Executes the enabled action with that short cut; false when none has it.
  bool IsShortCut(TShortCut shortCut);

 private:
  friend class TCustomAction;
  std::vector<TCustomAction*> actions_;
};

}  // namespace gui
