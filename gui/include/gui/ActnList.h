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
class TControl;
class TControlActionLink;

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
  // Changes reach the linked controls (see TControlActionLink).
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  // A disabled action does not execute.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  bool Execute() override;
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TActionList;
  friend class TControlActionLink;
  std::vector<TControlActionLink*> links_;
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

// Ties a control to its action: a change of the action reaches the control
// while the control's value still is the action's (the Is*Linked tests;
// a subclass may decide otherwise), and the control's click runs the action.
class TControlActionLink {
 public:
  explicit TControlActionLink(TControl* client) : client_(client) {}
  virtual ~TControlActionLink();
  TControlActionLink(const TControlActionLink&) = delete;
  TControlActionLink& operator=(const TControlActionLink&) = delete;
  TControl* Client() const { return client_; }
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);
  bool Execute();

  virtual bool IsCaptionLinked() const;
  // Whether the action decides a checked state (a control with one uses it).
  virtual bool IsCheckedLinked() const;
  virtual bool IsEnabledLinked() const;
  virtual bool IsHintLinked() const;
  virtual bool IsVisibleLinked() const;
  virtual void SetCaption(const std::string& value);
  // Nothing here: controls with a checked state override it.
  virtual void SetChecked(bool value) {}
  virtual void SetEnabled(bool value);
  virtual void SetHint(const std::string& value);
  virtual void SetVisible(bool value);

 protected:
  TCustomAction* CustomAction() const;

 private:
  friend class TCustomAction;
  TControl* client_;
  TBasicAction* action_ = nullptr;
};

class TWinControlActionLink : public TControlActionLink {
 public:
  using TControlActionLink::TControlActionLink;
};

}  // namespace gui
