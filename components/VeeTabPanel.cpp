#include "VeeTabPanel.h"

#include "gui/Controls.h"

namespace components {

void TTabPanel::AddTab(gui::TControl* button, gui::TControl* page, const std::string& name, bool selected) {
  if (!button || !page) return;
  auto tab = std::make_unique<TTabRecord>();
  tab->Index = Count();
  tab->Name = name;
  tab->Button = button;
  tab->Page = page;
  tab->Active = selected;
  int index = tab->Index;
  tabs_.push_back(std::move(tab));
  if (selected) SelectTab(index, nullptr, nullptr);
}

void TTabPanel::SelectTab(int index, TTabChangeProc callback, void* data) {
  if (tabs_.empty() || index >= Count()) return;
  for (auto& tab : tabs_) SetState(*tab, tab->Index == index);
  if (callback) callback(this, data);
}

void TTabPanel::SelectTabByButton(gui::TControl* button, TTabChangeProc callback, void* data) {
  if (tabs_.empty()) return;
  for (auto& tab : tabs_) SetState(*tab, tab->Button == button);
  if (callback) callback(this, data);
}

TTabRecord* TTabPanel::TabAt(int index) {
  return index >= 0 && index < Count() ? tabs_[static_cast<size_t>(index)].get() : nullptr;
}

void TTabPanel::SetState(TTabRecord& tab, bool active) {
  tab.Page->SetVisible(active);
  tab.WasActive = tab.Active;
  if (tab.Active) previousIndex_ = tab.Index;
  tab.Active = active;
  if (active) currentIndex_ = tab.Index;
}

}  // namespace components
