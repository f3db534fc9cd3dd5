// TStrings and TStringList.
#include "gui/Strings.h"

#include "kit/Own.h"

namespace gui {

GUI_DEFINE_CLASS(TStrings) {}

void TStrings::IndexError(int index) {
  throw EConvertError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::SetStrings(int index, const std::string& text) {
  void* object = Objects(index);
  Delete(index);
  InsertObject(index, text, object);
}

int TStrings::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStrings::AddObject(const std::string& text, void* object) {
  int index = Count();
  InsertObject(index, text, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& text, void* object) {
  Insert(index, text);
  if (object) SetObjects(index, object);
}

int TStrings::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (Strings(i) == text) return i;
  return -1;
}

int TStrings::IndexOfObject(void* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Strings(i) + "\r\n";
  return text;
}

void TStrings::SetText(const std::string& text) {
  BeginUpdate();
  auto batch = kit::OnExit([this] { EndUpdate(); });
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    Add(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TStrings*>(source)) {
    if (other == this) return;
    BeginUpdate();
  auto batch = kit::OnExit([this] { EndUpdate(); });
    Clear();
    for (int i = 0; i < other->Count(); ++i) AddObject(other->Strings(i), other->Objects(i));
    return;
  }
  inherited::Assign(source);
}

GUI_DEFINE_CLASS(TStringList) {}

void TStringList::Check(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

std::string TStringList::Strings(int index) const {
  Check(index);
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::SetStrings(int index, const std::string& text) {
  Check(index);
  items_[static_cast<std::size_t>(index)].text = text;
  Changed();
}

void* TStringList::Objects(int index) const {
  Check(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::SetObjects(int index, void* object) {
  Check(index);
  items_[static_cast<std::size_t>(index)].object = object;
  Changed();
}

void TStringList::Insert(int index, const std::string& text) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, Item{text, nullptr});
  Changed();
}

void TStringList::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TStringList::Changed() {
  if (UpdateCount() > 0) {
    changedInUpdate_ = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    changedInUpdate_ = false;
    return;
  }
  if (changedInUpdate_ && OnChange) OnChange(this);
  changedInUpdate_ = false;
}

}  // namespace gui
