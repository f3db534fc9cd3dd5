// TTabPanel ties a row of tab buttons to the pages they show: selecting a tab
// shows its page, hides every other page, remembers the current and the
// previous tab and calls the owner back. A plain object; the buttons and
// pages stay the owner's.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace gui {
class TControl;
}

namespace components {

struct TTabRecord {
  int Index = 0;               // position in the panel, fixed when added
  std::string Name;            // free for the owner's use
  gui::TControl* Button = nullptr;
  gui::TControl* Page = nullptr;
  bool Active = false;         // its page is the one shown
  bool WasActive = false;      // Active before the last selection
};

class TTabPanel;
// Called after a selection with the panel and the data the caller passed.
using TTabChangeProc = void (*)(TTabPanel* Sender, void* Data);

class TTabPanel {
 public:
  TTabPanel() = default;
  TTabPanel(const TTabPanel&) = delete;
  TTabPanel& operator=(const TTabPanel&) = delete;

  // Appends a tab (nothing without a button or a page); a selected one is
  // shown at once, without a callback.
  void AddTab(gui::TControl* button, gui::TControl* page, const std::string& name, bool selected);
  // Shows the tab at index and hides the others. An index not below the
  // count does nothing; a negative one hides every page.
  void SelectTab(int index, TTabChangeProc callback, void* data);
  // Shows the tab of that button; a control that is no tab's button hides
  // every page.
  void SelectTabByButton(gui::TControl* button, TTabChangeProc callback, void* data);

  // The tab at CurrentIndex / PreviousIndex, or null.
  TTabRecord* GetCurrentTab() { return TabAt(currentIndex_); }
  TTabRecord* GetPreviousTab() { return TabAt(previousIndex_); }
  int CurrentIndex() const { return currentIndex_; }
  int PreviousIndex() const { return previousIndex_; }
  int Count() const { return static_cast<int>(tabs_.size()); }
  TTabRecord* Tabs(int index) { return TabAt(index); }

 private:
  TTabRecord* TabAt(int index);
  void SetState(TTabRecord& tab, bool active);

  std::vector<std::unique_ptr<TTabRecord>> tabs_;
  int currentIndex_ = -1;
  int previousIndex_ = -1;
};

}  // namespace components
